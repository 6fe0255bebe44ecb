// The dunning run ("Mahnwesen"): which invoices are overdue, at which
// level, and the levels written back once their letters were printed.
//
// Choosing the letters only reads the files, so a preview can repeat it as
// often as it repaints. The levels are written by a separate step that the
// caller takes only after the printer really took the letters.
#ifndef BELVON_LETTERS_DUNNING_RUN_H
#define BELVON_LETTERS_DUNNING_RUN_H

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "store/app_state.h"
#include "store/address_record.h"
#include "store/order_record.h"

namespace letters {

// Invoices dated before 1 December 1999 (day number 10926) are never dunned.
inline constexpr long kFirstDunnedDay = 10926;

// Said instead of printing when a run has no letter to print.
inline constexpr const char* kNoDunningDue = "Keine Mahnungen fällig";

struct DunningOptions {
  std::string date;               // "Mahndatum", dd.mm.yyyy
  bool reprint = false;           // also invoices whose level has not risen
  std::int32_t customer = -1;     // only this customer's invoices (record offset), -1 = all
};

struct DunningItem {
  std::uint32_t offset = 0;  // of the head in RECHNUNG.DAT
  store::OrderHead head{};   // as read, with the old level
  int level = 0;             // 1..3, the level this run gives
  store::AddressRecord customer{};
  bool letter = true;        // false for a customer marked "Nicht mahnen"
};

// Days a letter gives the customer to pay: its pay-by date lies this many
// days after the dunning date.
inline constexpr int kDaysToPay = 10;

// The level of an invoice `overdueDays` past its due date: 3, 2 or 1 for
// more days than that level's period, 0 for none and for an invoice not yet
// past due, whatever the periods say. A run raises the level at most one
// above `storedLevel`: a customer who never heard from us gets the friendly
// first letter, however late the run.
int DunningLevel(long overdueDays, const std::array<int, 3>& periods, int storedLevel);
std::array<int, 3> DunningPeriods(const store::ParameterRecord& parameters);

// The day number of the day an invoice falls due: its invoice date plus
// the order's payment period (a negative period counts as none).
long DueDay(const store::OrderHead& head);

// Whether an order is an open printed invoice the run looks at: more than
// one cent open, the invoice printed, dated 1 December 1999 or later.
bool DunnableInvoice(const store::OrderHead& head);

// Every invoice of the order index that gets a letter (or, for "Nicht
// mahnen", only a new level), in index order. An invoice whose last letter
// (store/dunning_dates.h) gave a pay-by date not yet passed keeps its level. `reportDamaged` tells the user
// of every head whose order date is damaged (that head is skipped either
// way). `progress` gets the percentage and stops the walk by returning true;
// `stopped` then says so.
std::vector<DunningItem> SelectDunning(frame::AppState& app, const DunningOptions& options,
                                       bool reportDamaged,
                                       const std::function<bool(int)>& progress = {},
                                       bool* stopped = nullptr);

// Whether any of the items gets a letter (not all are "Nicht mahnen").
bool AnyLetter(const std::vector<DunningItem>& items);

// Writes each item's level into its head, in place, provided the head there
// is still that order's and the level rises (a stored level never falls);
// the current order takes its new level too, and `date`, the dunning date,
// is noted as the day of each raised invoice's last letter. 0 when the order
// file could not be opened or a write failed; `written` counts the heads
// written.
int StoreDunningLevels(frame::AppState& app, const std::vector<DunningItem>& items,
                       const std::string& date, int* written = nullptr);

// The letter body of a level (1..3): the whole text file named in the
// dunning settings, read as the text editor reads its texts. Empty when the
// file is missing, unreadable or too long for the editor's buffer; `problem`
// then gets the message for the user.
std::string ReadLevelText(frame::AppState& app, int level, std::string* problem);

// The title of a level, as typed (Windows-1252).
std::string LevelTitle(const store::ParameterRecord& parameters, int level);

// The letter body with the fields a letter text may name filled in:
// {Betrag} the amount due (with the level's fee), {Zahlbar bis} the pay-by
// date, {Fällig am} the due date, {Rechnung} the invoice number. `body` is
// Windows-1252, as the editor holds it, and so is the result.
std::string FillLetterFields(const std::string& body, const store::ParameterRecord& parameters,
                             const DunningItem& item, const std::string& dunningDate,
                             frame::FigureStyle style = frame::FigureStyle::Point);

// The amount due of an item's letter, with its currency: the open amount
// and the level's fee. UTF-8.
std::string AmountDue(const store::ParameterRecord& parameters, const store::OrderHead& head,
                      int level, frame::FigureStyle style = frame::FigureStyle::Point);

// "sich auf ..." line of the amount due: the open amount with the level's
// fee added when there is one, in `style`. UTF-8.
std::string AmountDueLine(const store::ParameterRecord& parameters, const store::OrderHead& head,
                          int level, frame::FigureStyle style = frame::FigureStyle::Point);

}  // namespace letters

#endif  // BELVON_LETTERS_DUNNING_RUN_H
