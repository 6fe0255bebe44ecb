// The invoice journal ("Rechnungsausgangsbuch", job 8): every invoice of a
// date range with its tax, gross and net figures, and the totals per
// currency. The printed list and the CSV export read the same Journal, so
// their figures agree to the cent.
#ifndef BELVON_REPORTS_INVOICE_JOURNAL_H
#define BELVON_REPORTS_INVOICE_JOURNAL_H

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "store/app_state.h"
#include "printing/page_renderer.h"
#include "store/order_record.h"
#include "store/parameter_record.h"

namespace reports {

inline constexpr int kJobInvoiceJournal = 8;
inline constexpr int kJournalCurrencies = 4;

// The figures of one invoice, in cents of its currency. The tax of each
// class is the one its printed invoice states (the order arithmetic of the
// invoice: class sums of the line nets, back-order lines left out), over the
// lines that belong in the register; Netto is the invoice's net figure and
// Brutto = Netto + tax 1 + tax 2. With the cash discount taken, the discount
// on Brutto is taken off net and tax of each class in proportion (see
// orders/cash_discount.h), so the row still adds up.
struct JournalFigures {
  std::int64_t tax1 = 0;
  std::int64_t tax2 = 0;
  std::int64_t gross = 0;
  std::int64_t net = 0;
};
JournalFigures InvoiceJournalFigures(const store::OrderHead& head,
                                     std::span<const store::OrderLine> lines,
                                     const store::ParameterRecord& parameters);

// The date an invoice is listed under: its invoice date, or its order date
// while it has none.
std::string JournalDate(const store::OrderHead& head);

// Whether the invoice belongs in the journal of the range: invoice printed,
// its journal date in the range, at least one line in the register.
bool InJournal(const store::OrderHead& head, std::span<const store::OrderLine> lines,
               const std::string& from, const std::string& to);

struct JournalRow {
  std::int32_t position = 0;  // in RECHNUNG.IDX
  std::int32_t orderNumber = 0;
  std::string customerNumber;  // UTF-8
  std::string customerName;    // UTF-8, uncut
  std::string date;            // "dd.mm.yyyy"
  int currency = 0;            // 0..3
  JournalFigures figures;
  // The tax rates the invoice was issued with (tenths of a percent).
  int rate1 = 0;
  int rate2 = 0;
  // Issued by a version that kept no record of its issue: its figures were
  // taken over from the stored total and the rates of the takeover.
  bool takenOver = false;
};

struct JournalTotals {
  JournalFigures sum;
  int rate1 = 0;  // tenths of a percent
  int rate2 = 0;
  // Printed as a total row: only where some tax was charged.
  bool printed() const { return sum.gross != sum.net; }
};

struct Journal {
  std::vector<JournalRow> rows;  // in index order
  std::vector<char> seen;        // index positions the walk handed over
  std::array<JournalTotals, kJournalCurrencies> totals{};
  bool escaped = false;
};

Journal CollectJournal(frame::AppState& app, const std::string& from, const std::string& to,
                       const std::function<void(const std::string&)>& reportDamaged = {});

// "Liste aller Rechnungen vom %s[ bis zum %s], Seite: %-d".
std::string JournalTitle(const std::string& from, const std::string& to, int page);

class InvoiceJournalRenderer : public printing::PageRenderer {
 public:
  printing::RenderOutcome render(printing::Canvas& canvas, const printing::PageGeometry& geometry,
                                 printing::RenderContext& context) override;
};

}  // namespace reports

#endif  // BELVON_REPORTS_INVOICE_JOURNAL_H
