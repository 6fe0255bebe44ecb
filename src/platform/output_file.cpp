#include "platform/output_file.h"

namespace platform {

namespace {

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

}  // namespace

OutputFile::OutputFile(FileSystem& fs, std::string path)
    : fs_(fs), path_(std::move(path)), temporary_(path_ + ".neu") {
  // A device, FIFO, socket or directory under the name is not ours to
  // replace: renaming over it would take the device away (or leave a
  // regular file where a pipe was read from).
  if (fs_.kind(path_) == PathKind::NotRegular) {
    failed_ = true;
    return;
  }
  // What a run that died left behind (a file, or a link someone put there)
  // goes first; the name is then created new or not at all.
  if (fs_.kind(temporary_) != PathKind::Missing) fs_.remove(temporary_);
  file_ = fs_.open(temporary_, Access::Write, Share::Exclusive, Disposition::CreateNew);
  failed_ = !file_;
  pending_ = !failed_;
}

OutputFile::~OutputFile() { discard(); }

void OutputFile::discard() {
  file_.close();
  if (pending_) fs_.remove(temporary_);
  pending_ = false;
}

bool OutputFile::write(std::string_view bytes) {
  if (failed_) return false;
  if (!bytes.empty() && !file_.write(bytes.data(), bytes.size())) failed_ = true;
  return !failed_;
}

bool OutputFile::commit() {
  if (failed_ || !file_.sync() || !file_.close() || fs_.kind(path_) == PathKind::NotRegular ||
      !fs_.rename(temporary_, path_)) {
    failed_ = true;
    discard();
    return false;
  }
  pending_ = false;
  // The rename is done: the file is whole under its name. A directory that
  // cannot be flushed is reported, but the file stays.
  return fs_.syncDirectory(DirectoryOf(path_));
}

bool WriteOutputFile(FileSystem& fs, const std::string& path, std::string_view bytes) {
  OutputFile out(fs, path);
  return out.write(bytes) && out.commit();
}

std::string OutputFailureText(const std::string& path) {
  if (SystemFileSystem().kind(path) == PathKind::NotRegular)
    return "Die Datei " + path +
           " kann nicht geschrieben werden: unter diesem Namen steht keine gewöhnliche Datei "
           "(ein Verzeichnis, ein Gerät, eine FIFO oder ein Socket), und sie wird nicht ersetzt.";
  return "Die Datei " + path + " kann nicht geschrieben werden.";
}

}  // namespace platform
