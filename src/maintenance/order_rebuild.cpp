#include "maintenance/order_rebuild.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include "maintenance/index_repair.h"
#include "core/dates.h"
#include "store/bytes.h"
#include "core/decimal.h"
#include "store/data_file.h"
#include "store/issue_file.h"
#include "store/order_kinds.h"
#include "store/order_record.h"
#include "store/text_field.h"

namespace maintenance {

namespace {

using platform::Access;
using platform::Share;
using store::Load;
using store::Store;

constexpr int kLineSlots = 370;  // an order holds at most 369 lines
// Invoices are kept for eight years from the end of the year they were
// issued in.
constexpr int kRetentionYears = 8;

bool Ask(frame::AppState& app, const char* format, long a, long b = 0) {
  char text[200];
  std::snprintf(text, sizeof text, format, a, b);
  return app.ui && app.ui->question(text, frame::Icon::Question, true);
}

// Whether the order is left out: dated in the range, or given up by the
// user because its entry and head disagree or its address is gone.
bool LeftOut(frame::AppState& app, const OrderRebuild& rebuild, const std::uint8_t* entry,
             const Bytes& head) {
  const std::string_view date = store::GetText(reinterpret_cast<const char*>(&head[10]), 12);
  if (rebuild.byDate && orders::DateInRange(rebuild.from, date, rebuild.to))
    return !(rebuild.keep && rebuild.keep(head));
  const long entryNumber = Load<std::int32_t>(entry + 4);
  const long headNumber = Load<std::int32_t>(&head[6]);
  bool yes = false;
  if (headNumber != entryNumber)
    yes = Ask(app, "Probleme mit Auftrag Nr: %8ld\nwird auch als %8ld geführt.\nLöschen ?",
              entryNumber, headNumber);
  if (Load<std::int32_t>(&head[2]) < 0 && !yes)
    yes = Ask(app, "Adresse zum Auftrag Nr: %8ld wurde gelöscht.\nLöschen ?", entryNumber);
  return yes;
}

void RefuseDamagedOrder(frame::AppState& app, long number) {
  char text[200];
  std::snprintf(text, sizeof text,
                "Auftrag %ld ist beschädigt: seine Positionen können nicht alle gelesen "
                "werden.\nEs wurde nichts verändert.",
                number);
  Tell(app, text, frame::Icon::Stop);
}

}  // namespace

int RebuildOrderFile(frame::AppState& app, const OrderRebuild& rebuild) {
  const OrderFraming& f = rebuild.source;
  platform::File indexFile =
      store::OpenData(app, store::kOrderIndexName, Access::Read, Share::DenyWrite);
  platform::File dataFile;
  if (indexFile)
    dataFile = store::OpenData(app, store::kOrderDataName, Access::Read, Share::DenyWrite);
  if (!dataFile) return 0;
  // The record file is read in pieces: it may be far larger than what the
  // index reaches.
  IndexImage index;
  FileWindow data(dataFile);
  auto unreadable = [&app] {
    Tell(app, "Die Aufträge können nicht gelesen werden; es wurde nichts verändert.",
         frame::Icon::Stop);
    return 0;
  };
  if (!ReadIndexImage(indexFile, store::kOrderLayout, index) || data.failed()) return unreadable();
  if (index.count == 0 && rebuild.byDate) return 1;  // nothing to delete
  if (app.ui) app.ui->beginProgress();
  Bytes newData, newEntries, readHead(f.headSize), readLine(f.lineSize), head(80), line(402);
  std::int32_t kept = 0;
  for (std::int32_t k = 0; k < index.count; ++k) {
    if (app.ui) app.ui->progress((k + 1) * 100 / index.count);
    const std::uint8_t* entry = index.entry(k);
    const std::uint32_t offset = index.recordOffset(k);
    std::uint16_t headLength = 0;
    if (static_cast<std::int32_t>(offset) < 0 || !data.read(offset, &headLength, 2)) continue;
    if (headLength < 1 || headLength > f.headSize) continue;
    std::fill(readHead.begin(), readHead.end(), 0);
    data.read(offset, readHead.data(),
              static_cast<std::size_t>(std::min<std::uint64_t>(headLength, data.size() - offset)));
    if (rebuild.convertHead)
      rebuild.convertHead(readHead, head);
    else
      head = readHead;
    if (LeftOut(app, rebuild, entry, head)) continue;

    Bytes lines;
    const int count = Load<std::int16_t>(&head[24]);
    std::uint64_t at = offset + headLength;
    int copied = 0;
    // A line that cannot be framed (or a count no order can have) stops the
    // run below: an order kept is kept whole.
    for (std::uint16_t length = 0;
         copied < count && count < kLineSlots && data.read(at, &length, 2); ++copied) {
      if (length < 2 || at + std::min<std::uint64_t>(length, f.lineSize) > data.size()) break;
      std::fill(readLine.begin(), readLine.end(), 0);
      data.read(at, readLine.data(),
                static_cast<std::size_t>(std::min<std::uint64_t>(
                    std::min<std::size_t>(length, f.lineSize), data.size() - at)));
      if (rebuild.convertLine)
        rebuild.convertLine(readLine, line);
      else
        line = readLine;
      Store<std::uint16_t>(line.data(), 402);
      lines.insert(lines.end(), line.begin(), line.end());
      at += length;
    }
    // An order kept is kept whole: one whose lines cannot all be framed
    // stops the run before anything is replaced, rather than lose its lines.
    if (copied != count) {
      if (app.ui) app.ui->endProgress();
      RefuseDamagedOrder(app, Load<std::int32_t>(entry + 4));
      return 0;
    }
    Store<std::uint16_t>(head.data(), 80);
    const auto newOffset = static_cast<std::uint32_t>(newData.size());
    newData.insert(newData.end(), head.begin(), head.end());
    newData.insert(newData.end(), lines.begin(), lines.end());
    newEntries.insert(newEntries.end(), entry, entry + 12);
    Store<std::uint32_t>(&newEntries[newEntries.size() - 4], newOffset);
    ++kept;
  }
  if (app.ui) app.ui->endProgress();
  if (data.failed()) return unreadable();

  Replacement replacement(app);
  if (!replacement.write("R.DAT", store::kOrderDataName, newData) ||
      !replacement.write("R.IDX", store::kOrderIndexName,
                         IndexBytes(store::kOrderLayout, kept, newEntries)) ||
      (rebuild.alsoReplace && !rebuild.alsoReplace(replacement))) {
    Tell(app, NotWrittenText(app), frame::Icon::Stop);
    return 0;
  }
  if (!replacement.commit()) return 0;
  app.orders.lastIndex = kept - 1;
  app.orders.position = std::min(app.orders.position, kept - 1);
  return 1;
}

bool ConfirmInvoiceDeletion(frame::AppState& app) {
  return app.ui && app.ui->question(
                       "Wollen Sie wirklich Rechnungen löschen ?\n Bitte immer erst eine "
                       "Datensicherung machen !",
                       frame::Icon::Question, true);
}

std::string RetainedUntil(std::string_view invoiceDate) {
  const orders::Date date = orders::ParseDate(invoiceDate);
  if (date.year < 1 || date.month < 1 || date.month > 12) return {};
  return frame::Format("31.12.%04d", date.year + kRetentionYears);
}

int DeleteOldInvoices(frame::AppState& app, const std::string& from, const std::string& to) {
  if (!MaintenanceMayRun(app)) return 0;
  const long today = orders::DayNumber(orders::FormatDate(*app.clock));
  std::vector<std::int32_t> deleted;
  std::map<std::string, std::vector<long>> kept;  // until when -> invoice numbers
  OrderRebuild rebuild;
  rebuild.byDate = true;
  rebuild.from = from;
  rebuild.to = to;
  rebuild.keep = [&](const Bytes& head) {
    const auto flags = Load<std::uint16_t>(&head[22]);
    const long number = Load<std::int32_t>(&head[6]);
    const bool issued = (flags & store::kOrderInvoicePrinted) && !(flags & store::kOrderCollectivelyBilled);
    if (issued) {
      const std::string until =
          RetainedUntil(store::GetText(reinterpret_cast<const char*>(&head[66]), 12));
      // An invoice without a readable date is kept: nobody can say it may go.
      if (until.empty() || orders::DayNumber(until) >= today) {
        kept[until.empty() ? std::string("?") : until].push_back(number);
        return true;
      }
    }
    deleted.push_back(static_cast<std::int32_t>(number));
    return false;
  };
  rebuild.alsoReplace = [&](Replacement& replacement) {
    store::IssueBook book;
    if (!store::ReadIssueBook(app, book)) return false;
    if (!book.present()) return true;
    std::sort(deleted.begin(), deleted.end());
    Bytes bytes;
    bool dropped = false;
    for (const store::IssueRecord& record : book.records()) {
      if (std::binary_search(deleted.begin(), deleted.end(), record.invoiceNumber)) {
        dropped = true;
        continue;
      }
      const auto* raw = reinterpret_cast<const std::uint8_t*>(&record);
      bytes.insert(bytes.end(), raw, raw + sizeof record);
    }
    return !dropped || replacement.write("AUSGANG.NEU", store::kIssueFileName, bytes);
  };
  const int result = RebuildOrderFile(app, rebuild);
  if (result && !kept.empty()) {
    std::string text = "Diese Rechnungen werden nicht gelöscht, sie müssen noch aufbewahrt werden:";
    for (const auto& [until, numbers] : kept) {
      text += until == "?" ? "\nohne lesbares Rechnungsdatum:" : "\nbis zum " + until + ":";
      for (std::size_t i = 0; i < numbers.size() && i < 20; ++i)
        text += (i ? ", " : " ") + std::to_string(numbers[i]);
      if (numbers.size() > 20) text += frame::Format(" und %zu weitere", numbers.size() - 20);
    }
    Tell(app, text, frame::Icon::Information);
  }
  return result;
}

}  // namespace maintenance
