#include "store/data_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/user_interface.h"
#include "store/bytes.h"

namespace frame {

std::string FileBusyText(const std::string& path) {
  return "Die Datei " + path +
         " wird von einem anderen Programm benutzt und kann nicht geöffnet werden.\n\n"
         "Nochmals versuchen ?";
}

bool UserInterface::retryBusyFile(const std::string& path) {
  return question(FileBusyText(path), Icon::Question, false);
}

}  // namespace frame

namespace store {

platform::File OpenData(frame::AppState& app, const char* name, platform::Access access,
                        platform::Share share, platform::Disposition disposition,
                        platform::OpenFailure* failure) {
  frame::UserInterface* ui = app.ui;
  platform::OpenFailure why = platform::OpenFailure::None;
  if (app.fileSystem->linkLeaves(app.path(name), DataFolder(app))) {
    if (failure) *failure = platform::OpenFailure::LinkOutside;
    if (ui) ui->message(OpenFailureText(app.path(name), platform::OpenFailure::LinkOutside),
                        frame::Icon::Stop);
    return {};
  }
  platform::File file = platform::OpenWithRetry(
      *app.fileSystem, app.path(name), access, share, disposition, app.retry,
      [ui](const std::string& path) {
        return ui && ui->retryBusyFile(path);
      },
      &why);
  if (failure) *failure = why;
  // Busy was asked about, and a missing file is the caller's affair.
  if (!file && ui && why != platform::OpenFailure::Busy && why != platform::OpenFailure::Missing)
    ui->message(OpenFailureText(app.path(name), why), frame::Icon::Stop);
  return file;
}

std::string OpenFailureText(const std::string& path, platform::OpenFailure why) {
  switch (why) {
    case platform::OpenFailure::NoPermission:
      return "Die Datei " + path + " kann nicht geöffnet werden: keine Zugriffsberechtigung.";
    case platform::OpenFailure::NotRegular:
      return "Die Datei " + path +
             " kann nicht geöffnet werden: sie ist keine gewöhnliche Datei "
             "(ein Verzeichnis, eine Pipe oder eine Verknüpfung ins Leere).";
    case platform::OpenFailure::Missing:
      return "Die Datei " + path + " fehlt.";
    case platform::OpenFailure::LinkOutside:
      return "Die Datei " + path +
             " wird nicht benutzt: sie ist eine Verknüpfung, die nicht auf eine Datei im "
             "Datenverzeichnis führt.";
    default:
      return "Die Datei " + path + " kann nicht geöffnet werden.";
  }
}

std::string WriteFailureCause(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return "der Datenträger ist voll";
    case EROFS:
      return "der Datenträger ist schreibgeschützt";
    case EACCES:
    case EPERM:
      return "keine Schreibberechtigung";
    case 0:
      return "die Ursache meldet das System nicht";
    default:
      return std::string("Fehler des Systems: ") + std::strerror(error);
  }
}

std::string WriteFailureText(const std::string& path, int error) {
  return "Die Datei " + path + " konnte nicht geschrieben werden: " + WriteFailureCause(error) + ".";
}

platform::File OpenDataOnce(frame::AppState& app, const char* name, platform::Access access,
                            platform::Share share, platform::Disposition disposition) {
  if (app.fileSystem->linkLeaves(app.path(name), DataFolder(app))) return {};
  return app.fileSystem->open(app.path(name), access, share, disposition);
}

bool DataFileExists(const frame::AppState& app, const char* name) {
  return app.fileSystem->exists(app.path(name));
}

std::string DataFolder(const frame::AppState& app) {
  const std::size_t slash = app.dataDirectory.rfind('/');
  return slash == std::string::npos ? std::string(".") : app.dataDirectory.substr(0, slash + 1);
}

platform::File CreateDataTemporary(frame::AppState& app, const char* name) {
  platform::FileSystem& fs = *app.fileSystem;
  const std::string path = app.path(name);
  const platform::PathKind kind = fs.kind(path);
  if (kind == platform::PathKind::Regular && !fs.linkLeaves(path, DataFolder(app))) {
    // A file of ours is removed only when no other copy is writing it.
    platform::File held = fs.open(path, platform::Access::ReadWrite, platform::Share::Exclusive);
    if (!held && fs.kind(path) != platform::PathKind::Missing) return {};
    fs.remove(path);
  } else if (kind != platform::PathKind::Missing) {
    fs.remove(path);  // a link leading out, a pipe, a dangling link: never ours
  }
  return fs.open(path, platform::Access::Write, platform::Share::Exclusive,
                 platform::Disposition::CreateNew);
}

std::int32_t ReadFramedRecord(platform::File& file, std::uint64_t offset,
                              std::span<std::uint8_t> buffer, bool clearFirst) {
  if (clearFirst) std::memset(buffer.data(), 0, buffer.size());
  const std::int64_t size = file.size();
  if (buffer.size() < 2 || size < 0) return kReadFailed;
  if (offset + 2 > static_cast<std::uint64_t>(size)) return kPastTheEnd;
  std::uint8_t lengthBytes[2];
  if (!file.seek(offset) || !file.readExact(lengthBytes, 2)) return kReadFailed;
  std::uint16_t length = Load<std::uint16_t>(lengthBytes);
  std::memcpy(buffer.data(), lengthBytes, 2);
  if (length < 2) return length;
  std::size_t body = (length < buffer.size() ? length : buffer.size()) - 2;
  // A record cut short by the end of the file keeps whatever the buffer held
  // behind the bytes that were there; fewer bytes than the file holds is a
  // failed read, never a short record.
  std::size_t there = static_cast<std::size_t>(
      std::min<std::uint64_t>(body, static_cast<std::uint64_t>(size) - offset - 2));
  if (file.read(buffer.data() + 2, body) < there) return kReadFailed;
  return length;
}

RecordWindow::RecordWindow(platform::File& file, std::size_t blockSize, std::size_t recordSize)
    : file_(file), recordSize_(recordSize), buffer_(std::max(blockSize, recordSize)) {}

bool RecordWindow::view(std::uint64_t offset, std::span<const std::uint8_t>& bytes) {
  if (!covers(offset)) fill(offset);
  const std::uint64_t end = start_ + filled_;
  const std::size_t available = offset < end ? static_cast<std::size_t>(end - offset) : 0;
  if (offset < start_ || available < 2) return false;
  const std::uint8_t* at = buffer_.data() + (offset - start_);
  const std::uint16_t length = Load<std::uint16_t>(at);
  const std::size_t framed = length < 2 ? 2 : std::min<std::size_t>(length, recordSize_);
  bytes = {at, std::min(framed, available)};
  return true;
}

bool RecordWindow::read(std::uint64_t offset, std::span<std::uint8_t> record) {
  std::span<const std::uint8_t> bytes;
  if (!view(offset, bytes)) return false;
  const std::size_t n = std::min(bytes.size(), record.size());
  std::memcpy(record.data(), bytes.data(), n);
  std::memset(record.data() + n, 0, record.size() - n);
  return true;
}

bool RecordWindow::covers(std::uint64_t offset) const {
  if (!loaded_ || offset < start_) return false;
  const std::uint64_t end = start_ + filled_;
  // Behind the end of the file there is nothing more to load.
  return offset + recordSize_ <= end || (atEnd_ && offset <= end);
}

void RecordWindow::fill(std::uint64_t offset) {
  loaded_ = true;
  start_ = offset;
  filled_ = file_.readAt(offset, buffer_.data(), buffer_.size());
  atEnd_ = filled_ < buffer_.size();
  if (atEnd_) {
    const std::int64_t size = file_.size();
    if (size < 0 || offset + filled_ < static_cast<std::uint64_t>(size)) failed_ = true;
  }
}

}  // namespace store
