// Reading a file the user named or keeps beside the data (settings, letters
// and dunning texts, the logo, pictures, Datanorm files): one check for all.
//
// Only a regular file is read. A FIFO, a device or a directory is refused at
// once (the open never blocks on a FIFO); a file larger than what the caller
// can sensibly hold is refused before a byte of it is read.
#ifndef BELVON_PLATFORM_FILE_READING_H
#define BELVON_PLATFORM_FILE_READING_H

#include <cstdint>
#include <string>

#include "platform/file.h"

namespace platform {

enum class ReadRefusal {
  None,
  Missing,
  NotRegular,  // a directory, FIFO, device, socket or dangling link
  TooLarge,    // larger than the cap
  Unreadable,  // no permission, held by another program, or a read failed
};

// Opens `path` for reading when it is a regular file of at most `cap` bytes.
ReadRefusal OpenForReading(FileSystem& fs, const std::string& path, std::uint64_t cap, File& file,
                           Share share = Share::DenyWrite);

// The bytes of the regular file `path` of at most `cap` bytes.
ReadRefusal ReadRegularFile(FileSystem& fs, const std::string& path, std::uint64_t cap,
                            std::string& bytes, Share share = Share::DenyWrite);

// The message for a refused file, naming it (and the cap when it is too large).
std::string ReadRefusalText(const std::string& path, ReadRefusal why, std::uint64_t cap);

}  // namespace platform

#endif  // BELVON_PLATFORM_FILE_READING_H
