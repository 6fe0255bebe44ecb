#include "letters/dunning_run.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "core/decimal.h"
#include "core/user_interface.h"
#include "letters/letter_text.h"
#include "core/dates.h"
#include "platform/cp1252.h"
#include "store/data_file.h"
#include "store/dunning_dates.h"
#include "store/order_file.h"
#include "store/indexed_file.h"
#include "store/order_framing.h"
#include "store/order_kinds.h"
#include "store/text_field.h"

namespace letters {

namespace {

using platform::Access;
using platform::Share;

bool DatePointThere(const store::OrderHead& head) {
  return head.length > store::kOrderDatePointOffset &&
         reinterpret_cast<const char*>(&head)[store::kOrderDatePointOffset] == '.';
}

const char* LevelField(const store::ParameterRecord& p, int level, bool title) {
  switch (level) {
    case 1: return title ? p.dunningTitle1 : p.dunningText1;
    case 2: return title ? p.dunningTitle2 : p.dunningText2;
    default: return title ? p.dunningTitle3 : p.dunningText3;
  }
}

bool ReadCustomer(platform::File& addresses, std::int32_t ref, store::AddressRecord& customer) {
  if (ref < 0 || !addresses) return false;
  std::span<std::uint8_t> bytes(reinterpret_cast<std::uint8_t*>(&customer), sizeof customer);
  return store::ReadFramedRecord(addresses, static_cast<std::uint32_t>(ref), bytes, true) > 0;
}

}  // namespace

int DunningLevel(long overdueDays, const std::array<int, 3>& periods, int storedLevel) {
  if (overdueDays <= 0) return 0;
  for (int level = 3; level >= 1; --level)
    if (overdueDays > periods[level - 1]) return std::min(level, std::max(storedLevel, 0) + 1);
  return 0;
}

long DueDay(const store::OrderHead& head) {
  const std::int16_t period = head.paymentPeriod;  // a copy: the head is packed
  return orders::DayNumber(store::GetText(head.invoiceDate)) + std::max<int>(period, 0);
}

std::array<int, 3> DunningPeriods(const store::ParameterRecord& p) {
  return {p.dunningPeriods[0], p.dunningPeriods[1], p.dunningPeriods[2]};
}

bool DunnableInvoice(const store::OrderHead& head) {
  const std::int64_t open = std::int64_t{head.total} - head.paid;
  // A delivery note billed by a collective invoice is dunned there.
  return open > 1 && (head.flags & store::kOrderInvoicePrinted) &&
         !(head.flags & store::kOrderCollectivelyBilled) &&
         orders::DayNumber(store::GetText(head.invoiceDate)) >= kFirstDunnedDay;
}

std::vector<DunningItem> SelectDunning(frame::AppState& app, const DunningOptions& options,
                                       bool reportDamaged,
                                       const std::function<bool(int)>& progress, bool* stopped) {
  if (stopped) *stopped = false;
  std::vector<DunningItem> items;
  store::IndexBlock block;
  {
    platform::File index = store::OpenData(app, store::kOrderIndexName, Access::Read,
                                           Share::DenyWrite);
    if (!index || !store::OrderFile(app).ReadIndex(index, block)) return items;
  }
  platform::File data = store::OpenData(app, store::kOrderDataName, Access::Read,
                                        Share::DenyWrite);
  platform::File addresses = store::OpenData(app, store::kAddressDataName, Access::Read,
                                             Share::DenyWrite);
  if (!data) return items;
  const long dunningDay = orders::DayNumber(options.date);
  const std::array<int, 3> periods = DunningPeriods(app.parameters);
  const store::DunningDates lastLetters = store::LoadDunningDates(app);
  for (std::int32_t k = 0; k < block.count; ++k) {
    if (progress && progress(static_cast<int>((k + 1) * 100L / block.count))) {
      if (stopped) *stopped = true;
      break;
    }
    DunningItem item;
    item.offset = block.recordOffset(k);
    if (!store::ReadOrderHead(data, item.offset, item.head)) continue;
    const store::OrderHead& head = item.head;
    if (!DatePointThere(head)) {
      if (reportDamaged && app.ui)
        app.ui->message(frame::Format("Probleme mit Auftrag #%ld\nAuftrag kann nicht gelesen werden.",
                                      static_cast<long>(block.orderNumber(k))),
                        frame::Icon::Exclamation);
      continue;
    }
    if (!DunnableInvoice(head)) continue;
    if (options.customer >= 0 && head.customerRef != options.customer) continue;
    item.level = DunningLevel(dunningDay - DueDay(head), periods, head.dunningLevel);
    // The next level waits for the pay-by date of the last letter.
    const auto last = lastLetters.find(head.orderNumber);
    if (item.level > head.dunningLevel && last != lastLetters.end() &&
        dunningDay <= orders::DayNumber(last->second) + kDaysToPay)
      item.level = head.dunningLevel;
    if (item.level == 0) continue;
    if (!options.reprint && item.level <= head.dunningLevel) continue;
    // An invoice whose customer is gone has nobody to write to.
    if (!ReadCustomer(addresses, head.customerRef, item.customer)) continue;
    item.letter = (item.customer.salutation & store::kAddressNoDunning) == 0;
    items.push_back(item);
  }
  return items;
}

bool AnyLetter(const std::vector<DunningItem>& items) {
  return std::any_of(items.begin(), items.end(), [](const DunningItem& item) { return item.letter; });
}

int StoreDunningLevels(frame::AppState& app, const std::vector<DunningItem>& items,
                       const std::string& date, int* written) {
  if (written) *written = 0;
  if (items.empty()) return 1;
  int result = 1;
  std::vector<std::int32_t> raised;
  for (const DunningItem& item : items) {
    // The level goes into the head as the file holds it now, wherever the
    // order lies by then; the rest of the head stays another copy's.
    store::OrderHead head{};
    const std::uint8_t level = static_cast<std::uint8_t>(item.level);
    bool tooShort = false;  // a head of an older layout has no level to keep
    bool kept = false;      // the level on file is as high already
    if (!store::ChangeOrderHead(app, item.head.orderNumber,
                                [&](store::OrderHead& stored) {
                                  tooShort = stored.length <= offsetof(store::OrderHead, dunningLevel);
                                  // A stored level never falls: a reprint at a lower level after
                                  // a last reminder must not make the next run start again.
                                  kept = !tooShort && level <= stored.dunningLevel;
                                  if (tooShort || kept) return false;
                                  stored.dunningLevel = level;
                                  return true;
                                },
                                &head)) {
      if (!tooShort && !kept) result = 0;
      continue;
    }
    if (written) ++*written;
    raised.push_back(head.orderNumber);
    // The order pane must not save the old level back.
    if (app.order.orderNumber == head.orderNumber) app.order.dunningLevel = head.dunningLevel;
  }
  if (!store::NoteDunningDates(app, raised, orders::EnteredDate(date))) result = 0;
  return result;
}

std::string ReadLevelText(frame::AppState& app, int level, std::string* problem) {
  const std::string name(store::GetText(LevelField(app.parameters, level, false), 81));
  // A bare name is a text of the data directory, as the new directory's
  // own texts are.
  const std::string path = name.empty() || name.front() == '/' ? name : app.dataDirectory + name;
  auto fail = [&](const char* why) {
    if (problem) {
      // Without a file name there is nothing to name.
      const std::string what =
          path.empty() ? frame::Format("Für die %d. Mahnstufe ist keine Textdatei angegeben", level)
                       : frame::Format("Der Text der %d. Mahnstufe (%s) %s", level,
                                       platform::Cp1252ToUtf8(name).c_str(), why);
      *problem = what + ".\nDie Mahnungen werden ohne diesen Text gedruckt.";
    }
    return std::string();
  };
  if (path.empty()) return fail("");
  std::string body;
  switch (LoadLetterText(*app.fileSystem, path, body)) {
    case LoadResult::TooLong: return fail("ist zu lang");
    case LoadResult::Unreadable: return fail("kann nicht gelesen werden");
    case LoadResult::Loaded: break;
  }
  // The body ends at its first zero byte, as a text in the zeroed buffer does.
  body.resize(std::strlen(body.c_str()));
  return body;
}

std::string LevelTitle(const store::ParameterRecord& parameters, int level) {
  return std::string(store::GetText(LevelField(parameters, level, true), 81));
}

namespace {

struct Due {
  std::string currency;  // UTF-8
  double open = 0;
  int fee = 0;
};

Due DueOf(const store::ParameterRecord& p, const store::OrderHead& head, int level) {
  const char* symbols[] = {p.currencySymbol1, p.currencySymbol2, p.currencySymbol3,
                           p.currencySymbol4};
  Due due;
  due.currency = platform::Cp1252ToUtf8(store::GetText(symbols[std::min<int>(head.currency, 3)], 4));
  due.open = (static_cast<double>(head.total) - head.paid) / 100.0;
  due.fee = std::max<int>(p.dunningFees[std::clamp(level, 1, 3) - 1], 0);
  return due;
}

std::string DateOfDay(long day) {
  // Day 0 is 1 January 1970.
  return orders::AddDaysToDate(1, 1, 1970, static_cast<int>(day));
}

}  // namespace

std::string AmountDue(const store::ParameterRecord& p, const store::OrderHead& head, int level,
                      frame::FigureStyle style) {
  const Due due = DueOf(p, head, level);
  return frame::Money(style, due.open + due.fee, due.currency);
}

std::string AmountDueLine(const store::ParameterRecord& p, const store::OrderHead& head, int level,
                          frame::FigureStyle style) {
  const Due due = DueOf(p, head, level);
  if (due.fee > 0)
    return "sich auf " + AmountDue(p, head, level, style) + " inkl. " +
           frame::Money(style, due.fee, due.currency) + " Mahngebühren.";
  return "sich auf " + AmountDue(p, head, level, style) + ".";
}

std::string FillLetterFields(const std::string& body, const store::ParameterRecord& p,
                             const DunningItem& item, const std::string& dunningDate,
                             frame::FigureStyle style) {
  const std::pair<std::string, std::string> fields[] = {
      {"{Betrag}", platform::Utf8ToCp1252(AmountDue(p, item.head, item.level, style))},
      {"{Zahlbar bis}", DateOfDay(orders::DayNumber(dunningDate) + kDaysToPay)},
      {"{F\xE4llig am}", DateOfDay(DueDay(item.head))},
      {"{Rechnung}", std::to_string(item.head.orderNumber)}};
  std::string text;
  text.reserve(body.size());
  for (std::size_t at = 0; at < body.size();) {
    const auto field = std::find_if(std::begin(fields), std::end(fields), [&](const auto& f) {
      return body.compare(at, f.first.size(), f.first) == 0;
    });
    if (field == std::end(fields)) {
      text += body[at++];
      continue;
    }
    text += field->second;
    at += field->first.size();
  }
  return text;
}

}  // namespace letters
