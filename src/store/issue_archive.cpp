#include "store/issue_archive.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "core/sha256.h"
#include "platform/file_reading.h"
#include "platform/output_file.h"
#include "store/issue_file.h"

namespace store {

namespace {

// An archived document is never larger than this.
constexpr std::uint64_t kArchivedMax = 256ull * 1024 * 1024;

bool Unset(const std::uint8_t (&digest)[32]) {
  return std::all_of(std::begin(digest), std::end(digest), [](std::uint8_t b) { return b == 0; });
}

}  // namespace

std::string ArchivePath(const frame::AppState& app, std::int32_t number, const char* extension) {
  return app.dataDirectory + kArchiveFolderName + "/" + std::to_string(number) + "." + extension;
}

bool ArchiveIssuedDocuments(frame::AppState& app, std::int32_t number,
                            const IssuedDocuments& documents, IssueRecord& record) {
  std::error_code error;
  std::filesystem::create_directories(app.dataDirectory + kArchiveFolderName, error);
  const struct {
    const std::string& bytes;
    const char* extension;
    std::uint8_t* digest;
  } files[] = {{documents.pdf, "pdf", record.pdfSha256}, {documents.xml, "xml", record.xmlSha256}};
  for (const auto& file : files) {
    std::memset(file.digest, 0, 32);
    if (file.bytes.empty()) continue;
    if (!platform::WriteOutputFile(*app.fileSystem, ArchivePath(app, number, file.extension), file.bytes))
      return false;
    const frame::Sha256Digest digest = frame::Sha256Of(file.bytes);
    std::memcpy(file.digest, digest.data(), digest.size());
  }
  return true;
}

ArchiveState ReadArchived(frame::AppState& app, const IssueRecord& record, bool pdf,
                          std::string& bytes) {
  bytes.clear();
  const auto& digest = pdf ? record.pdfSha256 : record.xmlSha256;
  if (Unset(digest)) return ArchiveState::None;
  std::string read;
  if (platform::ReadRegularFile(*app.fileSystem,
                                ArchivePath(app, record.invoiceNumber, pdf ? "pdf" : "xml"),
                                kArchivedMax, read) != platform::ReadRefusal::None)
    return ArchiveState::Missing;
  const frame::Sha256Digest actual = frame::Sha256Of(read);
  if (std::memcmp(actual.data(), digest, actual.size()) != 0) return ArchiveState::Changed;
  bytes = std::move(read);
  return ArchiveState::Intact;
}

}  // namespace store
