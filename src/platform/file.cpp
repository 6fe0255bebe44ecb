#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <thread>

namespace platform {

namespace {

// Takes (or, with F_OFD_GETLK, tests) a lock on the whole file.
bool WholeFileLock(int fd, int command, short type, short* conflicting = nullptr) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 0;
  lock.l_pid = 0;
  int rc;
  do {
    rc = fcntl(fd, command, &lock);
  } while (rc < 0 && errno == EINTR);
  if (rc < 0) return false;
  if (conflicting) *conflicting = lock.l_type;
  return true;
}

}  // namespace

File::File(File&& other) noexcept : fd_(other.fd_), fs_(other.fs_) { other.fd_ = -1; }

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = other.fd_;
    fs_ = other.fs_;
    other.fd_ = -1;
  }
  return *this;
}

File::~File() { close(); }

void File::close() {
  if (fd_ >= 0) {
    ::close(fd_);  // releases the OFD lock with the last descriptor
    fd_ = -1;
  }
}

std::size_t File::read(void* buffer, std::size_t n) {
  if (fd_ < 0 || (fs_ && fs_->injectFault(IoOp::Read, {}))) return 0;
  auto* out = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < n) {
    ssize_t got = ::read(fd_, out + done, n - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

bool File::readExact(void* buffer, std::size_t n) { return read(buffer, n) == n; }

bool File::write(const void* buffer, std::size_t n) {
  if (fd_ < 0 || (fs_ && fs_->injectFault(IoOp::Write, {}))) return false;
  const auto* in = static_cast<const char*>(buffer);
  std::size_t done = 0;
  while (done < n) {
    ssize_t put = ::write(fd_, in + done, n - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

bool File::seek(std::uint64_t offset) {
  return fd_ >= 0 && ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

bool File::seekToEnd(std::uint64_t* endOffset) {
  if (fd_ < 0) return false;
  off_t end = ::lseek(fd_, 0, SEEK_END);
  if (end < 0) return false;
  if (endOffset) *endOffset = static_cast<std::uint64_t>(end);
  return true;
}

std::uint64_t File::position() const {
  if (fd_ < 0) return 0;
  off_t at = ::lseek(fd_, 0, SEEK_CUR);
  return at < 0 ? 0 : static_cast<std::uint64_t>(at);
}

std::int64_t File::size() const {
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return -1;
  return st.st_size;
}

bool File::truncate(std::uint64_t length) {
  if (fd_ < 0 || (fs_ && fs_->injectFault(IoOp::Truncate, {}))) return false;
  return ::ftruncate(fd_, static_cast<off_t>(length)) == 0;
}

bool File::sync() {
  if (fd_ < 0 || (fs_ && fs_->injectFault(IoOp::Sync, {}))) return false;
  return ::fsync(fd_) == 0;
}

bool FileSystem::injectFault(IoOp, const std::string&) { return false; }

File FileSystem::open(const std::string& path, Access access, Share share,
                      Disposition disposition) {
  if (injectFault(IoOp::Open, path)) return {};

  // A read lock needs a descriptor open for reading, a write lock one open
  // for writing: widen the descriptor where the share mode asks for it.
  bool wantRead = access != Access::Write || share == Share::DenyWrite;
  bool wantWrite = access != Access::Read || share == Share::Exclusive ||
                   disposition == Disposition::CreateAlways;
  int flags = O_CLOEXEC;
  if (wantRead && wantWrite)
    flags |= O_RDWR;
  else if (wantWrite)
    flags |= O_WRONLY;
  else
    flags |= O_RDONLY;
  if (disposition == Disposition::CreateAlways) flags |= O_CREAT;

  int fd;
  do {
    fd = ::open(path.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0 && access == Access::Read && share == Share::Exclusive && errno == EACCES) {
    // A file we may only read cannot carry a write lock; hold a read lock so
    // that at least no other copy writes while we read.
    share = Share::DenyWrite;
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  }
  if (fd < 0) return {};

  File file(fd, this);
  bool granted = true;
  switch (share) {
    case Share::Exclusive:
      granted = WholeFileLock(fd, F_OFD_SETLK, F_WRLCK);
      break;
    case Share::DenyWrite:
      // A reader shares its read lock with other such readers. A writer must
      // not get in beside them (it writes under their feet) nor let them in
      // beside itself (they deny the writing it does), so it holds a write lock.
      granted = WholeFileLock(fd, F_OFD_SETLK, access == Access::Read ? F_RDLCK : F_WRLCK);
      break;
    case Share::DenyNone: {
      // Nothing is held, but an opener that excludes our access wins.
      short conflicting = F_UNLCK;
      short probe = access == Access::Read ? F_RDLCK : F_WRLCK;
      // F_OFD_GETLK accepts any descriptor; the probe type only selects
      // which locks count as conflicting.
      granted = WholeFileLock(fd, F_OFD_GETLK, probe, &conflicting) && conflicting == F_UNLCK;
      break;
    }
  }
  if (!granted) return {};

  // Truncate only once the lock is ours, never under another opener's feet.
  if (disposition == Disposition::CreateAlways && !file.truncate(0)) return {};
  return file;
}

bool FileSystem::exists(const std::string& path) const {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FileSystem::rename(const std::string& from, const std::string& to) {
  if (injectFault(IoOp::Rename, from)) return false;
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool FileSystem::remove(const std::string& path) {
  if (injectFault(IoOp::Remove, path)) return false;
  return ::unlink(path.c_str()) == 0;
}

FileSystem& SystemFileSystem() {
  static FileSystem system;
  return system;
}

File OpenWithRetry(FileSystem& fs, const std::string& path, Access access, Share share,
                   Disposition disposition, const RetryPolicy& policy,
                   const GiveUpQuestion& askRetry) {
  using Clock = std::chrono::steady_clock;
  for (;;) {
    const auto start = Clock::now();
    for (;;) {
      File file = fs.open(path, access, share, disposition);
      if (file) return file;
      // A file that is not there is not busy: waiting for it (a moment, in
      // case another copy is just swapping it in) is all that makes sense.
      if (disposition == Disposition::OpenExisting && !fs.exists(path) &&
          Clock::now() - start >= policy.missingGrace)
        return {};
      if (Clock::now() - start >= policy.bound) break;
      std::this_thread::sleep_for(policy.pause);
    }
    if (!askRetry || !askRetry(path)) return {};
  }
}

}  // namespace platform
