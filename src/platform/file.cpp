#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
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

OpenFailure FailureOfErrno(int error) {
  switch (error) {
    case 0:  // an injected fault that gave no reason: a share conflict
    case EAGAIN:
      return OpenFailure::Busy;
    case ENOENT:
    case ENOTDIR:
      return OpenFailure::Missing;
    case EACCES:
    case EPERM:
    case EROFS:
      return OpenFailure::NoPermission;
    case EISDIR:
    case ELOOP:  // a link where a file is created new
    case ENXIO:  // a FIFO without a reader, opened for writing
    case ENODEV:
      return OpenFailure::NotRegular;
    default:
      return OpenFailure::Other;
  }
}

// Opens without blocking (a FIFO would wait for its other end for ever) and
// keeps the descriptor only when it is a regular file.
int OpenRegularFile(const std::string& path, int flags, OpenFailure& why) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_NONBLOCK, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    why = FailureOfErrno(errno);
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    why = OpenFailure::NotRegular;
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
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

bool File::close() {
  if (fd_ < 0) return true;
  const int rc = ::close(fd_);  // releases the OFD lock with the last descriptor
  fd_ = -1;
  return rc == 0 || errno == EINTR;
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

std::size_t File::readAt(std::uint64_t offset, void* buffer, std::size_t n) {
  if (fd_ < 0 || (fs_ && fs_->injectFault(IoOp::Read, {}))) return 0;
  auto* out = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < n) {
    ssize_t got = ::pread(fd_, out + done, n - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

bool File::write(const void* buffer, std::size_t n) {
  if (fd_ < 0) return false;
  errno = 0;
  if (fs_ && fs_->injectFault(IoOp::Write, {})) return failed(errno);
  const auto* in = static_cast<const char*>(buffer);
  std::size_t done = 0;
  while (done < n) {
    ssize_t put = ::write(fd_, in + done, n - done);
    if (put < 0 && errno == EINTR) continue;
    // A write that takes nothing and names no error found no room.
    if (put <= 0) return failed(put == 0 ? ENOSPC : errno);
    done += static_cast<std::size_t>(put);
  }
  return true;
}

bool File::failed(int error) {
  if (fs_) fs_->noteError(error);
  return false;
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

bool File::identity(FileIdentity& out) const {
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return false;
  auto nanoseconds = [](const timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
  };
  out.device = static_cast<std::uint64_t>(st.st_dev);
  out.inode = static_cast<std::uint64_t>(st.st_ino);
  out.size = st.st_size;
  out.modified = nanoseconds(st.st_mtim);
  out.changed = nanoseconds(st.st_ctim);
  return true;
}

std::int64_t NowNanoseconds() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

std::uint64_t File::dataFrom(std::uint64_t from) {
  if (fd_ < 0) return from;
  const off_t at = ::lseek(fd_, static_cast<off_t>(from), SEEK_DATA);
  if (at >= 0) return std::max<std::uint64_t>(from, static_cast<std::uint64_t>(at));
  const std::int64_t end = size();
  return errno == ENXIO && end >= 0 ? std::max<std::uint64_t>(from, static_cast<std::uint64_t>(end))
                                    : from;
}

bool File::truncate(std::uint64_t length) {
  if (fd_ < 0) return false;
  errno = 0;
  if (fs_ && fs_->injectFault(IoOp::Truncate, {})) return failed(errno);
  return ::ftruncate(fd_, static_cast<off_t>(length)) == 0 || failed(errno);
}

bool File::sync() {
  if (fd_ < 0) return false;
  errno = 0;
  if (fs_ && fs_->injectFault(IoOp::Sync, {})) return failed(errno);
  return ::fsync(fd_) == 0 || failed(errno);
}

bool FileSystem::injectFault(IoOp, const std::string&) { return false; }

File FileSystem::open(const std::string& path, Access access, Share share,
                      Disposition disposition, OpenFailure* failure) {
  OpenFailure ignored;
  OpenFailure& why = failure ? *failure : ignored;
  why = OpenFailure::None;
  errno = 0;
  // Only a failure that waiting or creating cannot mend tells a cause.
  auto noteCause = [this, &why](int error) {
    if (why == OpenFailure::NoPermission || why == OpenFailure::Other) noteError(error);
  };
  if (injectFault(IoOp::Open, path)) {
    why = FailureOfErrno(errno);
    noteCause(errno);
    return {};
  }

  // A read lock needs a descriptor open for reading, a write lock one open
  // for writing: widen the descriptor where the share mode asks for it.
  bool wantRead = access != Access::Write || share == Share::DenyWrite;
  bool wantWrite = access != Access::Read || share == Share::Exclusive ||
                   disposition != Disposition::OpenExisting;
  int flags = O_CLOEXEC;
  if (wantRead && wantWrite)
    flags |= O_RDWR;
  else if (wantWrite)
    flags |= O_WRONLY;
  else
    flags |= O_RDONLY;
  if (disposition == Disposition::CreateAlways) flags |= O_CREAT;
  // Nothing that stands in the name's place, not even a link, is written
  // through: the name must be free.
  if (disposition == Disposition::CreateNew) flags |= O_CREAT | O_EXCL | O_NOFOLLOW;

  int fd = OpenRegularFile(path, flags, why);
  if (fd < 0 && access == Access::Read && share == Share::Exclusive &&
      why == OpenFailure::NoPermission) {
    // A file we may only read cannot carry a write lock; hold a read lock so
    // that at least no other copy writes while we read.
    share = Share::DenyWrite;
    fd = OpenRegularFile(path, O_RDONLY | O_CLOEXEC, why);
  }
  if (fd < 0) {
    noteCause(errno);
    return {};
  }

  File file(fd, this);
  bool granted = true;
  // A mount that ignores locks grants every one of them without keeping
  // anybody out; a test plays it with a Lock fault.
  const bool lockIgnored = share != Share::DenyNone && injectFault(IoOp::Lock, path);
  switch (lockIgnored ? Share::DenyNone : share) {
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
      granted = WholeFileLock(fd, F_OFD_GETLK, probe, &conflicting);
      if (granted && conflicting != F_UNLCK) {
        granted = false;
        errno = EAGAIN;
      }
      break;
    }
  }
  if (!granted) {
    // A lock held by another opener is EAGAIN (or EACCES from fcntl).
    why = errno == EAGAIN || errno == EACCES ? OpenFailure::Busy : OpenFailure::Other;
    return {};
  }
  // A file written anew is renamed over the old one while its writer holds
  // both: whoever opened the old one just before and only now got its lock
  // holds a file that the name no longer leads to, and opens the name again.
  struct stat held {}, named {};
  if (share != Share::DenyNone &&
      (::fstat(fd, &held) != 0 || ::stat(path.c_str(), &named) != 0 ||
       held.st_ino != named.st_ino || held.st_dev != named.st_dev)) {
    why = OpenFailure::Busy;
    return {};
  }

  // Truncate only once the lock is ours, never under another opener's feet.
  if (disposition == Disposition::CreateAlways && !file.truncate(0)) {
    why = OpenFailure::Other;
    return {};
  }
  return file;
}

bool FileSystem::exists(const std::string& path) const {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

PathKind FileSystem::kind(const std::string& path) const {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0)
    return errno == ENOENT || errno == ENOTDIR ? PathKind::Missing : PathKind::NotRegular;
  if (S_ISLNK(st.st_mode) && ::stat(path.c_str(), &st) != 0) return PathKind::NotRegular;
  return S_ISREG(st.st_mode) ? PathKind::Regular : PathKind::NotRegular;
}

bool FileSystem::linkLeaves(const std::string& path, const std::string& directory) const {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return false;
  char target[PATH_MAX], folder[PATH_MAX];
  if (!::realpath(path.c_str(), target) || ::stat(target, &st) != 0 || !S_ISREG(st.st_mode) ||
      !::realpath(directory.empty() ? "." : directory.c_str(), folder))
    return true;
  const std::string inside = std::string(folder) + (std::string(folder) == "/" ? "" : "/");
  return std::string(target).rfind(inside, 0) != 0;
}

bool FileSystem::rename(const std::string& from, const std::string& to) {
  errno = 0;
  if (injectFault(IoOp::Rename, from) || std::rename(from.c_str(), to.c_str()) != 0) {
    noteError(errno);
    return false;
  }
  return true;
}

bool FileSystem::remove(const std::string& path) {
  if (injectFault(IoOp::Remove, path)) return false;
  return ::unlink(path.c_str()) == 0;
}

bool FileSystem::syncDirectory(const std::string& directory) {
  if (injectFault(IoOp::Sync, directory)) return false;
  int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

FileSystem& SystemFileSystem() {
  static FileSystem system;
  return system;
}

File OpenWithRetry(FileSystem& fs, const std::string& path, Access access, Share share,
                   Disposition disposition, const RetryPolicy& policy,
                   const GiveUpQuestion& askRetry, OpenFailure* failure) {
  using Clock = std::chrono::steady_clock;
  OpenFailure ignored;
  OpenFailure& why = failure ? *failure : ignored;
  for (;;) {
    const auto start = Clock::now();
    for (;;) {
      File file = fs.open(path, access, share, disposition, &why);
      if (file) return file;
      // No permission, or no regular file: waiting changes nothing, and the
      // question would blame another program.
      if (why != OpenFailure::Busy && why != OpenFailure::Missing) return {};
      // A file that is not there is not busy: waiting for it (a moment, in
      // case another copy is just swapping it in) is all that makes sense.
      // A file that cannot even be created has no directory to go into.
      if (why == OpenFailure::Missing && (disposition != Disposition::OpenExisting ||
                                          Clock::now() - start >= policy.missingGrace))
        return {};
      if (Clock::now() - start >= policy.bound) break;
      std::this_thread::sleep_for(policy.pause);
    }
    if (!askRetry || !askRetry(path)) return {};
  }
}

}  // namespace platform
