// Every data file of the program is opened through this header.
//
// A File is open for exactly as long as it lives (RAII, move-only). Its share
// mode is emulated with open-file-description locks (fcntl F_OFD_SETLK) on the
// whole file:
//   Share::DenyWrite  ("writing denied to others")  holds a read lock when
//                     reading, a write lock when writing (a writer is kept
//                     out by readers that deny writing, and keeps them out),
//   Share::Exclusive  (nobody else may open it)      holds a write lock,
//   Share::DenyNone   holds nothing, but refuses to open while another opener
//                     excludes our access (a write lock excludes everything,
//                     a read lock excludes writers).
// OFD locks belong to the open file description, so two opens of one file in
// one process exclude each other exactly as two copies of the program do.
//
// All opens go through FileSystem::open, one attempt each; the retry loop with
// its pause and its bound lives in OpenWithRetry. A test can replace the
// FileSystem to fail the Nth read, write, rename or sync.
//
// Only regular files are opened: a FIFO, a device or a directory where a data
// file or the logo is expected is refused at once instead of blocking the
// open for ever. Each failed open says why (OpenFailure), so that only a lock
// held by another copy is waited for; no permission is named at once.
#ifndef BELVON_PLATFORM_FILE_H
#define BELVON_PLATFORM_FILE_H

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace platform {

enum class Access { Read, Write, ReadWrite };
enum class Share { DenyNone, DenyWrite, Exclusive };
enum class Disposition {
  OpenExisting,  // fail when the file does not exist
  CreateAlways,  // create it, truncating what it held
  CreateNew,     // create it; fail when the name is taken, even by a link
};

// The kinds of call a fault injector may fail.
enum class IoOp { Open, Read, Write, Sync, Truncate, Rename, Remove,
                  // A lock taken by open: a "fault" grants it without excluding
                  // anyone, as a network mount that ignores locks does.
                  Lock };

// Why an open failed.
enum class OpenFailure {
  None,
  Missing,       // the file (or a directory on its path) does not exist
  Busy,          // another opener's lock excludes us: worth waiting for
  NoPermission,  // EACCES, EPERM, EROFS: waiting does not help
  NotRegular,    // a directory, FIFO, device or socket
  LinkOutside,   // a link that does not lead to a regular file of its directory
  Other,         // any other error of the system
};

// What a name in the directory is.
enum class PathKind {
  Missing,     // nothing by that name (a dangling link is not missing)
  Regular,     // a regular file, or a link to one
  NotRegular,  // anything else: directory, FIFO, device, dangling link
};

class FileSystem;

// What tells one state of a file from another without reading it: which file
// it is (a file replaced by a rename is another one), its size, and when its
// contents and its inode last changed, to the nanosecond the system keeps.
// The times are only as fine as the file system's clock tick: two writes
// within one tick leave the same times (see store/article_text.h).
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = -1;
  std::int64_t modified = 0;  // nanoseconds since 1970
  std::int64_t changed = 0;   // nanoseconds since 1970
  bool operator==(const FileIdentity&) const = default;
};

// The system's real-time clock, in the unit of FileIdentity's times.
std::int64_t NowNanoseconds();

class File {
 public:
  File() = default;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  ~File();

  bool isOpen() const { return fd_ >= 0; }
  explicit operator bool() const { return isOpen(); }

  // Reads up to n bytes at the current position; returns the number read
  // (0 at the end of the file or on an error).
  std::size_t read(void* buffer, std::size_t n);
  // Reads exactly n bytes or fails.
  bool readExact(void* buffer, std::size_t n);
  // Reads up to n bytes at `offset` without using or moving the position, so
  // that two threads may read one open file at once; the number read.
  std::size_t readAt(std::uint64_t offset, void* buffer, std::size_t n);
  bool write(const void* buffer, std::size_t n);
  bool seek(std::uint64_t offset);
  bool seekToEnd(std::uint64_t* endOffset);
  std::uint64_t position() const;
  // Size of the file, or -1 when it cannot be had.
  std::int64_t size() const;
  // The first offset from `from` on that holds data: a hole of a sparse
  // file reads as zeros without being stored. `from` itself when the system
  // cannot tell; the end of the file when only a hole follows. Moves the
  // position.
  std::uint64_t dataFrom(std::uint64_t from);
  bool truncate(std::uint64_t length);
  bool sync();
  // False when the system reports an error on closing (a network file
  // system may report a failed write only here).
  bool close();
  // The identity of the open file; false when the system cannot tell it.
  bool identity(FileIdentity& out) const;

 private:
  friend class FileSystem;
  File(int fd, FileSystem* fs) : fd_(fd), fs_(fs) {}
  // Notes `error` as the file system's last error; returns false.
  bool failed(int error);
  int fd_ = -1;
  FileSystem* fs_ = nullptr;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // One attempt; a File that is not open on failure (missing file, share
  // conflict, no permission, not a regular file, fault injected), with the
  // reason in `failure` when given. An injected Open fault counts as a share
  // conflict unless the injector set errno to say otherwise (EACCES, ENOENT).
  File open(const std::string& path, Access access, Share share,
            Disposition disposition = Disposition::OpenExisting,
            OpenFailure* failure = nullptr);
  // Existence test with no sharing restriction: true for a regular file only.
  bool exists(const std::string& path) const;
  // Tells a missing name from a regular file and from anything else.
  PathKind kind(const std::string& path) const;
  // True when `path` is a symbolic link that does not lead to a regular file
  // inside `directory` (or a folder below it); false for anything that is
  // not a link.
  bool linkLeaves(const std::string& path, const std::string& directory) const;
  bool rename(const std::string& from, const std::string& to);
  bool remove(const std::string& path);
  // Flushes the directory itself, so that renames and removals in it are on
  // the disk (a Sync fault with the directory's path makes it fail).
  bool syncDirectory(const std::string& directory);

  // The error number (errno) of the last open, write, sync, truncate or
  // rename through this file system that failed, so that a message can name
  // the cause (a full disk, a read-only folder); 0 while none failed. An
  // open of a file that is not there and a failed removal do not count:
  // they are the everyday misses of clearing up.
  int lastError() const { return lastError_; }
  // Starts a run of calls whose failure is to be explained.
  void clearLastError() { lastError_ = 0; }

  // Fault injection: return true to make the call fail. The default never
  // fails; tests derive from FileSystem to count calls down to a failure.
  virtual bool injectFault(IoOp op, const std::string& path);

 private:
  friend class File;
  void noteError(int error) { lastError_ = error; }
  int lastError_ = 0;
};

// The process-wide real file system (no faults).
FileSystem& SystemFileSystem();

// What the caller of OpenWithRetry does once the bound is reached: asked with
// the file name, returns true to try again for another bound, false to give up.
using GiveUpQuestion = std::function<bool(const std::string& path)>;

struct RetryPolicy {
  std::chrono::milliseconds pause{50};
  std::chrono::milliseconds bound{4000};
  // How long a file that does not exist is waited for before giving up
  // without a question.
  std::chrono::milliseconds missingGrace{500};
};

// Opens the file, retrying while another opener holds it; after
// `policy.bound` of failed attempts asks `askRetry`; a "give up" returns a
// File that is not open. Without a question it gives up after the bound. A
// file that does not exist is given up after `policy.missingGrace`, without a
// question; one that cannot be opened for another reason (no permission, not
// a regular file) at once. `failure` receives the reason of the last attempt.
File OpenWithRetry(FileSystem& fs, const std::string& path, Access access, Share share,
                   Disposition disposition, const RetryPolicy& policy,
                   const GiveUpQuestion& askRetry, OpenFailure* failure = nullptr);

}  // namespace platform

#endif  // BELVON_PLATFORM_FILE_H
