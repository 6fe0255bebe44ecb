#include "store/issue_file.h"

#include <cstring>

#include "core/sha256.h"
#include "store/data_file.h"

namespace store {

using platform::Access;
using platform::Disposition;
using platform::Share;

void SealIssueRecord(IssueRecord& record) {
  std::memcpy(record.magic, kIssueRecordMagic, sizeof record.magic);
  record.length = static_cast<std::uint16_t>(kIssueRecordSize);
  record.version = kIssueRecordVersion;
  const auto digest = frame::Sha256Of(std::string_view(
      reinterpret_cast<const char*>(&record), offsetof(IssueRecord, check)));
  std::memcpy(record.check, digest.data(), sizeof record.check);
}

bool IssueRecordSound(const IssueRecord& record) {
  if (std::memcmp(record.magic, kIssueRecordMagic, sizeof record.magic) != 0 ||
      record.length != kIssueRecordSize || record.version != kIssueRecordVersion)
    return false;
  const auto digest = frame::Sha256Of(std::string_view(
      reinterpret_cast<const char*>(&record), offsetof(IssueRecord, check)));
  return std::memcmp(record.check, digest.data(), sizeof record.check) == 0;
}

const IssueRecord* IssueBook::find(std::int32_t invoiceNumber) const {
  const auto it = byNumber_.find(invoiceNumber);
  return it == byNumber_.end() ? nullptr : &records_[it->second];
}

bool ReadIssueBook(frame::AppState& app, IssueBook& book) {
  book = IssueBook{};
  if (!DataFileExists(app, kIssueFileName)) return true;
  platform::File file = OpenData(app, kIssueFileName, Access::Read, Share::DenyWrite);
  if (!file) return false;
  book.present_ = true;
  const std::int64_t size = file.size();
  if (size < 0) return false;
  const auto whole = static_cast<std::uint64_t>(size) / kIssueRecordSize;
  book.tornTail_ = static_cast<std::uint64_t>(size) % kIssueRecordSize;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(whole * kIssueRecordSize));
  if (!bytes.empty() && (!file.seek(0) || !file.readExact(bytes.data(), bytes.size()))) return false;
  book.records_.reserve(static_cast<std::size_t>(whole));
  for (std::uint64_t i = 0; i < whole; ++i) {
    IssueRecord record;
    std::memcpy(&record, bytes.data() + i * kIssueRecordSize, kIssueRecordSize);
    if (!IssueRecordSound(record)) {
      ++book.damaged_;
      continue;
    }
    book.byNumber_.emplace(record.invoiceNumber, book.records_.size());
    book.records_.push_back(record);
  }
  return true;
}

bool FindIssueRecord(frame::AppState& app, std::int32_t invoiceNumber, IssueRecord& out) {
  if (!DataFileExists(app, kIssueFileName)) return false;
  platform::File file = OpenData(app, kIssueFileName, Access::Read, Share::DenyWrite);
  if (!file || !file.seek(0)) return false;
  constexpr std::size_t kPerRead = 2048;  // records
  std::vector<IssueRecord> chunk(kPerRead);
  for (;;) {
    const std::size_t got = file.read(chunk.data(), chunk.size() * sizeof(IssueRecord));
    for (std::size_t i = 0; i < got / sizeof(IssueRecord); ++i)
      if (chunk[i].invoiceNumber == invoiceNumber && IssueRecordSound(chunk[i])) {
        out = chunk[i];
        return true;
      }
    if (got < chunk.size() * sizeof(IssueRecord)) return false;
  }
}

platform::File OpenIssueBookForWriting(frame::AppState& app) {
  if (!DataFileExists(app, kIssueFileName)) {
    platform::OpenFailure why = platform::OpenFailure::None;
    platform::File made = app.fileSystem->open(app.path(kIssueFileName), Access::ReadWrite,
                                               Share::Exclusive, Disposition::CreateNew, &why);
    if (made) return made;
  }
  return OpenData(app, kIssueFileName, Access::ReadWrite, Share::Exclusive);
}

bool AppendIssueRecords(frame::AppState& app, std::vector<IssueRecord> records) {
  platform::File file = OpenIssueBookForWriting(app);
  if (!file) return false;
  std::uint64_t end = 0;
  if (!file.seekToEnd(&end)) return false;
  const std::uint64_t aligned = end - end % kIssueRecordSize;
  if (aligned != end && (!file.truncate(aligned) || !file.seek(aligned))) return false;
  std::vector<std::uint8_t> bytes(records.size() * kIssueRecordSize);
  for (std::size_t i = 0; i < records.size(); ++i) {
    SealIssueRecord(records[i]);
    std::memcpy(bytes.data() + i * kIssueRecordSize, &records[i], kIssueRecordSize);
  }
  if (!file.write(bytes.data(), bytes.size()) || !file.sync()) {
    // Nothing half written stays behind to be taken for a record.
    file.truncate(aligned);
    return false;
  }
  return file.close();
}

bool AppendIssueRecord(frame::AppState& app, IssueRecord record) {
  return AppendIssueRecords(app, {record});
}

}  // namespace store
