#include "bank/booked_transactions.h"

#include <algorithm>
#include <cstdio>

#include "core/sha256.h"
#include "core/user_interface.h"
#include "store/data_file.h"

namespace bank {

namespace {

constexpr std::string_view kHeader = "BELVON BANKUMSAETZE 1\n";
constexpr std::uint64_t kCap = 1ull << 30;

using platform::Access;
using platform::Share;

std::string Check(std::string_view body) {
  return frame::HexDigest(frame::Sha256Of(body)).substr(0, 8);
}

std::string Hex(std::string_view bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

std::string Unhex(std::string_view hex) {
  std::string out;
  auto value = [](char c) { return c <= '9' ? c - '0' : c - 'a' + 10; };
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    out += static_cast<char>(value(hex[i]) * 16 + value(hex[i + 1]));
  return out;
}

std::vector<std::string> Split(std::string_view line, char separator) {
  std::vector<std::string> parts;
  std::size_t at = 0;
  while (true) {
    const std::size_t next = line.find(separator, at);
    parts.emplace_back(line.substr(at, next == std::string_view::npos ? std::string_view::npos : next - at));
    if (next == std::string_view::npos) break;
    at = next + 1;
  }
  return parts;
}

long long Number(const std::string& text) {
  try {
    return std::stoll(text);
  } catch (...) {
    return 0;
  }
}

}  // namespace

bool BookedTransactions::parse(const std::string& text) {
  entries_.clear();
  sequence_.clear();
  damaged_ = 0;
  end_ = 0;
  if (text.empty()) return true;
  if (text.compare(0, kHeader.size(), kHeader) != 0) {
    if (app_ && app_->ui)
      app_->ui->message("Die Datei " + app_->path(kBookedTransactionsName) +
                            " ist keine Liste gebuchter Kontoumsätze.\nEs wird nichts gebucht.",
                        frame::Icon::Stop);
    return false;
  }
  std::size_t at = kHeader.size();
  end_ = at;
  while (at < text.size()) {
    const std::size_t newline = text.find('\n', at);
    if (newline == std::string::npos) break;  // a line cut off: the end stays before it
    const std::string_view line(text.data() + at, newline - at);
    at = newline + 1;
    const std::size_t tab = line.rfind('\t');
    if (tab == std::string_view::npos || line.substr(tab + 1) != Check(line.substr(0, tab))) {
      ++damaged_;
      continue;
    }
    end_ = at;
    const std::vector<std::string> f = Split(line.substr(0, tab), '\t');
    if (f.size() < 2) continue;
    const std::string& id = f[1];
    if (f[0] == "P" && f.size() >= 6) {
      BookedTransaction entry;
      entry.identity = id;
      entry.date = f[2];
      entry.cents = Number(f[3]);
      entry.account = Unhex(f[4]);
      for (const std::string& part : Split(f[5], ',')) {
        const std::vector<std::string> a = Split(part, ':');
        if (a.size() == 3)
          entry.plan.push_back({static_cast<std::int32_t>(Number(a[0])), Number(a[1]), a[2] == "1"});
      }
      if (!entries_.count(id)) sequence_.push_back(id);
      entries_[id] = entry;
    } else if (f[0] == "O" && f.size() >= 8 && entries_.count(id)) {
      OrderBefore before;
      before.order = static_cast<std::int32_t>(Number(f[2]));
      before.paidBefore = static_cast<std::int32_t>(Number(f[3]));
      before.paidAfter = static_cast<std::int32_t>(Number(f[4]));
      before.cashDiscountTakenBefore = static_cast<std::uint16_t>(Number(f[5]));
      before.paymentDateBefore = Unhex(f[6]);
      before.accountBefore = Unhex(f[7]);
      entries_[id].written.push_back(before);
    } else if (f[0] == "B" && entries_.count(id)) {
      entries_[id].state = BookedTransaction::State::Booked;
    } else if (f[0] == "X" && entries_.count(id)) {
      entries_[id].state = BookedTransaction::State::TakenBack;
    }
  }
  return true;
}

bool BookedTransactions::read(frame::AppState& app) {
  app_ = &app;
  platform::OpenFailure why = platform::OpenFailure::None;
  platform::File file = store::OpenData(app, kBookedTransactionsName, Access::Read, Share::DenyWrite,
                                        platform::Disposition::OpenExisting, &why);
  if (!file) {
    if (why != platform::OpenFailure::Missing) return false;
    return parse({});
  }
  const std::int64_t size = file.size();
  if (size < 0 || static_cast<std::uint64_t>(size) > kCap) return false;
  std::string text(static_cast<std::size_t>(size), '\0');
  if (!text.empty() && !file.readExact(text.data(), text.size())) {
    if (app.ui)
      app.ui->message("Die Datei " + app.path(kBookedTransactionsName) + " kann nicht gelesen werden.",
                      frame::Icon::Stop);
    return false;
  }
  return parse(text);
}

bool BookedTransactions::hold(frame::AppState& app) {
  app_ = &app;
  if (!store::DataFileExists(app, kBookedTransactionsName)) {
    // Made new under its own lock: a copy that made it meanwhile wins, and
    // its file is opened like any other.
    platform::File made = store::OpenDataOnce(app, kBookedTransactionsName, Access::ReadWrite,
                                              Share::Exclusive, platform::Disposition::CreateNew);
    if (made && (!made.write(kHeader.data(), kHeader.size()) || !made.sync())) return false;
  }
  file_ = store::OpenData(app, kBookedTransactionsName, Access::ReadWrite, Share::Exclusive);
  if (!file_) return false;
  const std::int64_t size = file_.size();
  std::string text(static_cast<std::size_t>(size < 0 ? 0 : size), '\0');
  if (size < 0 || static_cast<std::uint64_t>(size) > kCap || !file_.seek(0) ||
      (!text.empty() && !file_.readExact(text.data(), text.size()))) {
    if (app.ui)
      app.ui->message("Die Datei " + app.path(kBookedTransactionsName) + " kann nicht gelesen werden.",
                      frame::Icon::Stop);
    file_ = platform::File();
    return false;
  }
  // A file made by a copy that died before its first line was written.
  if (text.empty()) {
    if (!file_.seek(0) || !file_.write(kHeader.data(), kHeader.size()) || !file_.sync()) {
      file_ = platform::File();
      return false;
    }
    text = kHeader;
  }
  if (!parse(text)) {
    file_ = platform::File();
    return false;
  }
  return true;
}

const BookedTransaction* BookedTransactions::find(const std::string& identity) const {
  const auto it = entries_.find(identity);
  return it == entries_.end() ? nullptr : &it->second;
}

std::vector<BookedTransaction> BookedTransactions::pending() const {
  std::vector<BookedTransaction> open;
  for (const std::string& id : sequence_) {
    const BookedTransaction& entry = entries_.at(id);
    if (entry.state == BookedTransaction::State::Pending) open.push_back(entry);
  }
  return open;
}

bool BookedTransactions::append(std::string line) {
  if (!file_) return false;
  line += '\t' + Check(line) + '\n';
  // What an append cut off before leaves no half line for this one to
  // follow: the file is cut back to its last whole line first.
  const std::int64_t size = file_.size();
  if (size < 0) return false;
  if (static_cast<std::uint64_t>(size) != end_ && !file_.truncate(end_)) return false;
  if (!file_.seek(end_) || !file_.write(line.data(), line.size()) || !file_.sync()) return false;
  end_ += line.size();
  return true;
}

bool BookedTransactions::planned(const BookedTransaction& entry) {
  std::string plan;
  for (const Allocation& a : entry.plan) {
    if (!plan.empty()) plan += ',';
    plan += std::to_string(a.order) + ':' + std::to_string(a.cents) + ':' + (a.cashDiscount ? "1" : "0");
  }
  if (!append("P\t" + entry.identity + '\t' + entry.date + '\t' + std::to_string(entry.cents) + '\t' +
              Hex(entry.account) + '\t' + plan))
    return false;
  BookedTransaction& kept = entries_[entry.identity];
  if (std::find(sequence_.begin(), sequence_.end(), entry.identity) == sequence_.end())
    sequence_.push_back(entry.identity);
  kept = entry;
  kept.state = BookedTransaction::State::Pending;
  kept.written.clear();
  return true;
}

bool BookedTransactions::wrote(const std::string& identity, const OrderBefore& b) {
  if (!append("O\t" + identity + '\t' + std::to_string(b.order) + '\t' + std::to_string(b.paidBefore) +
              '\t' + std::to_string(b.paidAfter) + '\t' + std::to_string(b.cashDiscountTakenBefore) +
              '\t' + Hex(b.paymentDateBefore) + '\t' + Hex(b.accountBefore)))
    return false;
  entries_[identity].written.push_back(b);
  return true;
}

bool BookedTransactions::finished(const std::string& identity) {
  if (!append("B\t" + identity)) return false;
  entries_[identity].state = BookedTransaction::State::Booked;
  return true;
}

bool BookedTransactions::tookBack(const std::string& identity) {
  if (!append("X\t" + identity)) return false;
  entries_[identity].state = BookedTransaction::State::TakenBack;
  return true;
}

}  // namespace bank
