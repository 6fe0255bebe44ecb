// Opening the files of the data directory.
//
// Every open of a data file names the access and share mode it needs. Opens
// that the program waits for go through OpenData: retried with a short pause,
// and after the bound the user is asked whether to wait longer or give up, so
// a file held by another program for good never hangs us.
#ifndef BELVON_STORE_DATA_FILE_H
#define BELVON_STORE_DATA_FILE_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "store/app_state.h"
#include "platform/file.h"

namespace store {

inline constexpr const char* kParameterFileName = "BELVON.PAR";
inline constexpr const char* kProductGroupFileName = "WARENGR.DAT";
inline constexpr const char* kDiscountFileName = "RABATT.DAT";
inline constexpr const char* kArticleIndexName = "ARTIKEL.IDX";
inline constexpr const char* kArticleDataName = "ARTIKEL.DAT";
inline constexpr const char* kAddressIndexName = "KUNDEN.IDX";
inline constexpr const char* kAddressDataName = "KUNDEN.DAT";
inline constexpr const char* kOrderIndexName = "RECHNUNG.IDX";
inline constexpr const char* kOrderDataName = "RECHNUNG.DAT";

// Retrying open of DataDirectory + name; not open when the user gave up. A
// file that cannot be opened for any reason but another copy holding it (no
// permission, no regular file) is named to the user at once, with the reason.
// A data file that is a symbolic link is used only when it leads to a regular
// file inside the data folder: one leading out of it is refused
// (OpenFailure::LinkOutside), so that nothing outside is read or written.
platform::File OpenData(frame::AppState& app, const char* name, platform::Access access,
                        platform::Share share,
                        platform::Disposition disposition = platform::Disposition::OpenExisting,
                        platform::OpenFailure* failure = nullptr);

// The message for a file that cannot be opened, naming the file and why.
std::string OpenFailureText(const std::string& path, platform::OpenFailure why);

// Why a write, a flush, a rename or a creation failed, from the system's
// error number (platform::FileSystem::lastError): "der Datenträger ist voll"
// only for a full disk or an exhausted quota, "der Datenträger ist
// schreibgeschützt" for a read-only mount, "keine Schreibberechtigung" for a
// denied permission; the system's own words for anything else.
std::string WriteFailureCause(int error);

// "Die Datei <path> konnte nicht geschrieben werden: <cause>."
std::string WriteFailureText(const std::string& path, int error);

// A single attempt, for the opens that do not wait.
platform::File OpenDataOnce(frame::AppState& app, const char* name, platform::Access access,
                            platform::Share share,
                            platform::Disposition disposition = platform::Disposition::OpenExisting);

bool DataFileExists(const frame::AppState& app, const char* name);

// The folder the data files lie in: the prefix up to its last separator
// ("." for an empty prefix).
std::string DataFolder(const frame::AppState& app);

// Creates DataDirectory + name anew for writing, held exclusively, for a file
// that is written under a temporary name and renamed later. The name must be
// free: a file left there by a run that died, or a link put there, is removed
// first (never written through); one that another copy holds is left alone,
// and the result is then not open.
platform::File CreateDataTemporary(frame::AppState& app, const char* name);

// What ReadFramedRecord returns when it has no length to give.
inline constexpr std::int32_t kPastTheEnd = -1;  // nothing stored at the offset
inline constexpr std::int32_t kReadFailed = -2;  // bytes are there but the read failed

// Reads one length-prefixed record at `offset` into `buffer`: the 2-byte
// length, then min(length, buffer size) - 2 further bytes. With `clearFirst`
// the buffer is zeroed before, so a shorter record of an older layout reads
// with its tail zero. A length below 2 frames nothing: the record reads as
// empty. Returns the stored length; kPastTheEnd when the offset lies at or
// past the end of the file (a record cut short by the end keeps what the
// buffer held behind the bytes that were there); kReadFailed when bytes that
// the file holds could not be read.
std::int32_t ReadFramedRecord(platform::File& file, std::uint64_t offset,
                              std::span<std::uint8_t> buffer, bool clearFirst);

// Reads records of a record file through a large window, for offsets that
// come in ascending order, instead of one seek and read per record. Each read
// gives exactly the bytes that ReadFramedRecord gives with a cleared buffer;
// false for an offset at or past the end of the file. It reads at offsets
// (File::readAt), so that windows of two threads may share one open file.
class RecordWindow {
 public:
  RecordWindow(platform::File& file, std::size_t blockSize, std::size_t recordSize);

  bool read(std::uint64_t offset, std::span<std::uint8_t> record);
  // The same without the copy: the bytes read() fills in, behind which it
  // leaves zeros (the length field, then at most the stored length and
  // recordSize, as far as the file holds them). Valid until the next call.
  bool view(std::uint64_t offset, std::span<const std::uint8_t>& bytes);
  // A read of the file gave fewer bytes than the file holds: what lies behind
  // read as past the end.
  bool failed() const { return failed_; }

 private:
  bool covers(std::uint64_t offset) const;
  void fill(std::uint64_t offset);

  platform::File& file_;
  std::size_t recordSize_;
  std::vector<std::uint8_t> buffer_;
  std::uint64_t start_ = 0;
  std::size_t filled_ = 0;
  bool loaded_ = false;
  bool atEnd_ = false;
  bool failed_ = false;
};

}  // namespace store

#endif  // BELVON_STORE_DATA_FILE_H
