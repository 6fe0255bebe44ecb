#include "bank/statement_file.h"

#include <archive.h>
#include <archive_entry.h>

#include "bank/camt_reader.h"
#include "bank/mt940_reader.h"
#include "platform/file_reading.h"

namespace bank {

namespace {

bool IsZip(std::string_view bytes) { return bytes.size() >= 4 && bytes.substr(0, 4) == "PK\x03\x04"; }

// Every file of the ZIP, read as CAMT.053 (or MT940, which some banks pack
// the same way), in the order the archive holds them.
bool ReadZip(std::string_view bytes, Statement& statement, std::string& error,
             StatementFormat& format) {
  struct archive* zip = archive_read_new();
  archive_read_support_format_zip(zip);
  bool ok = archive_read_open_memory(zip, bytes.data(), bytes.size()) == ARCHIVE_OK;
  int files = 0;
  struct archive_entry* entry = nullptr;
  int step = ARCHIVE_OK;
  while (ok && (step = archive_read_next_header(zip, &entry)) == ARCHIVE_OK) {
    if (archive_entry_filetype(entry) != AE_IFREG) continue;
    const std::string name = archive_entry_pathname(entry) ? archive_entry_pathname(entry) : "";
    const la_int64_t size = archive_entry_size(entry);
    if (size < 0 || static_cast<std::uint64_t>(size) > kStatementFileCap) {
      error = "Die Datei " + name + " im ZIP-Archiv ist zu groß.";
      ok = false;
      break;
    }
    std::string member(static_cast<std::size_t>(size), '\0');
    if (archive_read_data(zip, member.data(), member.size()) != size) {
      error = "Die Datei " + name + " im ZIP-Archiv kann nicht gelesen werden.";
      ok = false;
      break;
    }
    std::string why;
    StatementFormat kind = StatementFormat::Unknown;
    if (LooksLikeCamt(member)) {
      kind = StatementFormat::Camt053;
      ok = ReadCamt(member, statement, why);
    } else if (LooksLikeMt940(member)) {
      kind = StatementFormat::Mt940;
      ok = ReadMt940(member, statement, why);
    } else {
      continue;  // a cover sheet or checksum file beside the statements
    }
    if (!ok) error = name + ": " + why;
    if (format == StatementFormat::Unknown) format = kind;
    ++files;
  }
  if (ok && step != ARCHIVE_EOF) {
    error = "Das ZIP-Archiv ist beschädigt.";
    ok = false;
  }
  if (ok && files == 0) {
    error = "Das ZIP-Archiv enthält keinen Kontoauszug im Format CAMT.053 oder MT940.";
    ok = false;
  }
  archive_read_free(zip);
  return ok;
}

}  // namespace

bool ReadStatement(std::string_view bytes, Statement& statement, std::string& error,
                   StatementFormat* format) {
  Statement read;
  StatementFormat kind = StatementFormat::Unknown;
  bool ok = false;
  if (IsZip(bytes)) {
    ok = ReadZip(bytes, read, error, kind);
  } else if (LooksLikeCamt(bytes)) {
    kind = StatementFormat::Camt053;
    ok = ReadCamt(bytes, read, error);
  } else if (LooksLikeMt940(bytes)) {
    kind = StatementFormat::Mt940;
    ok = ReadMt940(bytes, read, error);
  } else {
    error = "Die Datei ist kein Kontoauszug im Format CAMT.053 oder MT940.";
  }
  if (format) *format = ok ? kind : StatementFormat::Unknown;
  statement = ok ? std::move(read) : Statement{};
  return ok;
}

bool ReadStatementFile(platform::FileSystem& fs, const std::string& path, Statement& statement,
                       std::string& error, StatementFormat* format) {
  std::string bytes;
  const platform::ReadRefusal why =
      platform::ReadRegularFile(fs, path, kStatementFileCap, bytes, platform::Share::DenyNone);
  if (why != platform::ReadRefusal::None) {
    error = platform::ReadRefusalText(path, why, kStatementFileCap);
    statement = {};
    return false;
  }
  if (ReadStatement(bytes, statement, error, format)) return true;
  error = "Der Kontoauszug " + path + " kann nicht eingelesen werden:\n" + error +
          "\nEs wurde nichts gebucht.";
  return false;
}

}  // namespace bank
