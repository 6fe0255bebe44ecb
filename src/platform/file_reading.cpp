#include "platform/file_reading.h"

namespace platform {

namespace {

std::string SizeText(std::uint64_t bytes) {
  if (bytes >= (std::uint64_t{1} << 20) && bytes % (std::uint64_t{1} << 20) == 0)
    return std::to_string(bytes >> 20) + " MB";
  if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes >> 10) + " KB";
  return std::to_string(bytes) + " Bytes";
}

}  // namespace

ReadRefusal OpenForReading(FileSystem& fs, const std::string& path, std::uint64_t cap, File& file,
                           Share share) {
  OpenFailure why = OpenFailure::None;
  file = fs.open(path, Access::Read, share, Disposition::OpenExisting, &why);
  if (!file) {
    switch (why) {
      case OpenFailure::Missing: return ReadRefusal::Missing;
      case OpenFailure::NotRegular: return ReadRefusal::NotRegular;
      default: return ReadRefusal::Unreadable;
    }
  }
  const std::int64_t size = file.size();
  if (size < 0) {
    file.close();
    return ReadRefusal::Unreadable;
  }
  if (static_cast<std::uint64_t>(size) > cap) {
    file.close();
    return ReadRefusal::TooLarge;
  }
  return ReadRefusal::None;
}

ReadRefusal ReadRegularFile(FileSystem& fs, const std::string& path, std::uint64_t cap,
                            std::string& bytes, Share share) {
  File file;
  const ReadRefusal why = OpenForReading(fs, path, cap, file, share);
  if (why != ReadRefusal::None) return why;
  // One byte more than the size: a file that grew since it was measured is
  // read up to the cap and no further.
  std::string read(static_cast<std::size_t>(file.size()) + 1, '\0');
  const std::size_t got = file.read(read.data(), read.size());
  if (got > cap) return ReadRefusal::TooLarge;
  if (got + 1 < read.size()) return ReadRefusal::Unreadable;
  read.resize(got);
  bytes = std::move(read);
  return ReadRefusal::None;
}

std::string ReadRefusalText(const std::string& path, ReadRefusal why, std::uint64_t cap) {
  switch (why) {
    case ReadRefusal::None:
      return {};
    case ReadRefusal::Missing:
      return "Die Datei " + path + " wurde nicht gefunden.";
    case ReadRefusal::NotRegular:
      return "Die Datei " + path +
             " wird nicht gelesen: sie ist keine gewöhnliche Datei "
             "(ein Verzeichnis, eine Pipe, ein Gerät oder eine Verknüpfung ins Leere).";
    case ReadRefusal::TooLarge:
      return "Die Datei " + path + " wird nicht gelesen: sie ist zu groß (höchstens " +
             SizeText(cap) + ").";
    case ReadRefusal::Unreadable:
      break;
  }
  return "Die Datei " + path + " kann nicht gelesen werden.";
}

}  // namespace platform
