#include "orders/booking_journal.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <memory>
#include <sstream>

#include "core/decimal.h"
#include "core/user_interface.h"
#include "store/data_file.h"

namespace orders {

namespace {

using platform::Access;
using platform::Share;

constexpr const char* kFirstLine = "BELVON-BUCHUNG";
constexpr std::size_t kMostBytes = 64 << 20;

bool Writable(const std::string& name) {
  return name == store::kArticleDataName || name == store::kAddressDataName ||
         name == store::kOrderDataName;
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (std::uint8_t b : bytes) {
    text += digits[b >> 4];
    text += digits[b & 15];
  }
  return text;
}

bool FromHex(const std::string& text, std::vector<std::uint8_t>& out) {
  if (text.size() % 2) return false;
  out.clear();
  for (std::size_t i = 0; i < text.size(); i += 2) {
    unsigned value = 0;
    auto r = std::from_chars(text.data() + i, text.data() + i + 2, value, 16);
    if (r.ec != std::errc() || r.ptr != text.data() + i + 2) return false;
    out.push_back(static_cast<std::uint8_t>(value));
  }
  return true;
}

void Refuse(frame::AppState& app, const std::string& why) {
  if (app.ui)
    app.ui->message(frame::Format("Die Datei %s%s wird nicht ausgeführt: %s\n"
                                  "Bitte die Datenstruktur prüfen.",
                                  app.dataDirectory.c_str(), kBookingJournalName, why.c_str()),
                    frame::Icon::Stop);
}

// Takes back the writes the journal held in `journal` names; true when
// nothing is left to take back.
bool TakeBack(frame::AppState& app, platform::File& journal) {
  const std::int64_t size = journal.size();
  if (size == 0) return true;
  std::string text(static_cast<std::size_t>(std::max<std::int64_t>(size, 0)), '\0');
  std::int32_t order = 0;
  std::vector<JournalWrite> writes;
  if (size < 0 || static_cast<std::uint64_t>(size) > kMostBytes || !journal.seek(0) ||
      !journal.readExact(text.data(), text.size()) || !ParseBookingJournal(text, order, writes)) {
    Refuse(app, "sie ist beschädigt oder nennt eine Datei außerhalb der Daten.");
    return false;
  }
  // The orders stay where they are while their writes are taken back.
  platform::File index =
      store::OpenData(app, store::kOrderIndexName, Access::ReadWrite, Share::Exclusive);
  if (!index) return false;
  std::map<std::string, platform::File> files;
  for (const JournalWrite& w : writes) {
    platform::File& file = files[w.file];
    if (!file) file = store::OpenData(app, w.file.c_str(), Access::ReadWrite, Share::Exclusive);
    if (!file) return false;
  }
  // Every write is checked before any is taken back: its bytes are the
  // ones it wrote, or still the ones it replaced.
  std::vector<bool> landed;
  for (const JournalWrite& w : writes) {
    platform::File& file = files[w.file];
    std::vector<std::uint8_t> now(w.before.size());
    const std::int64_t length = file.size();
    if (length < 0 || w.offset + now.size() > static_cast<std::uint64_t>(length) ||
        file.readAt(w.offset, now.data(), now.size()) != now.size()) {
      Refuse(app, frame::Format("Stelle %llu liegt außerhalb von %s.",
                                static_cast<unsigned long long>(w.offset), w.file.c_str()));
      return false;
    }
    if (now != w.after && now != w.before) {
      Refuse(app, frame::Format("%s wurde an Stelle %llu inzwischen anders geändert "
                                "(Auftrag %ld).",
                                w.file.c_str(), static_cast<unsigned long long>(w.offset),
                                static_cast<long>(order)));
      return false;
    }
    landed.push_back(now == w.after && now != w.before);
  }
  for (std::size_t i = writes.size(); i-- > 0;) {
    if (!landed[i]) continue;
    platform::File& file = files[writes[i].file];
    if (!file.seek(writes[i].offset) || !file.write(writes[i].before.data(), writes[i].before.size()))
      return false;
  }
  for (auto& [name, file] : files)
    if (!file.sync()) return false;
  return true;
}

}  // namespace

std::string BookingJournalText(std::int32_t orderNumber, const std::vector<JournalWrite>& writes) {
  std::string text = std::string(kFirstLine) + "\nAuftrag " + std::to_string(orderNumber) + "\n";
  for (const JournalWrite& w : writes)
    text += w.file + " " + std::to_string(w.offset) + " " + Hex(w.before) + " " + Hex(w.after) + "\n";
  return text;
}

bool ParseBookingJournal(const std::string& text, std::int32_t& orderNumber,
                         std::vector<JournalWrite>& writes) {
  writes.clear();
  std::istringstream in(text);
  std::string line, key;
  if (!std::getline(in, line) || line != kFirstLine || !std::getline(in, line)) return false;
  std::istringstream head(line);
  if (!(head >> key >> orderNumber) || key != "Auftrag" || !head.eof() || orderNumber <= 0)
    return false;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    JournalWrite w;
    std::string offset, before, after, more;
    if (!(fields >> w.file >> offset >> before >> after) || (fields >> more)) return false;
    auto r = std::from_chars(offset.data(), offset.data() + offset.size(), w.offset);
    if (!Writable(w.file) || r.ec != std::errc() || r.ptr != offset.data() + offset.size() ||
        w.offset > UINT32_MAX || !FromHex(before, w.before) || !FromHex(after, w.after) ||
        w.before.size() != w.after.size() || w.before.empty())
      return false;
    writes.push_back(std::move(w));
  }
  return true;
}

bool BookingJournal::take(frame::AppState& app) {
  app_ = &app;
  if (!store::DataFileExists(app, kBookingJournalName)) {
    file_ = store::OpenDataOnce(app, kBookingJournalName, Access::ReadWrite, Share::Exclusive,
                                platform::Disposition::CreateNew);
    if (file_) return true;
  }
  file_ = store::OpenData(app, kBookingJournalName, Access::ReadWrite, Share::Exclusive);
  if (!file_) return false;
  if (!TakeBack(app, file_) || !file_.truncate(0)) {
    file_ = {};
    return false;
  }
  return true;
}

bool BookingJournal::record(std::int32_t orderNumber, const std::vector<JournalWrite>& writes) {
  if (kept_) return false;
  const std::string text = BookingJournalText(orderNumber, writes);
  return file_ && file_.truncate(0) && file_.seek(0) && file_.write(text.data(), text.size()) &&
         file_.sync();
}

bool BookingJournal::clear() { return !kept_ && file_ && file_.truncate(0); }

void BookingJournal::close() {
  if (!file_) return;
  if (kept_) {
    file_ = {};
    return;
  }
  if (file_.truncate(0)) app_->fileSystem->remove(app_->path(kBookingJournalName));
  file_ = {};
}

bool FinishInterruptedBooking(frame::AppState& app) {
  if (!store::DataFileExists(app, kBookingJournalName)) return true;
  platform::File journal =
      store::OpenDataOnce(app, kBookingJournalName, Access::ReadWrite, Share::Exclusive);
  if (!journal) return true;  // a copy is booking now
  if (!TakeBack(app, journal)) return false;
  if (journal.truncate(0)) app.fileSystem->remove(app.path(kBookingJournalName));
  return true;
}

}  // namespace orders
