// A file the program hands to someone else (a PDF, PNG pages, a CSV, a
// Datanorm or XRechnung file, the address export): it is there whole or not
// at all.
//
// The bytes go to a temporary file beside the target ("<name>.neu", created
// new: a stale one is removed first, and a link in its place is never
// written through). Every write is checked; commit() flushes the file to the
// disk, closes it (checking that too), renames it over the target and flushes
// the directory. Whatever fails on the way leaves the target as it was and
// removes the temporary file; so does an OutputFile that is never committed.
// A target that exists and is no regular file (a device, FIFO, socket or
// directory, a dangling link) is refused: never opened, never renamed over.
#ifndef BELVON_PLATFORM_OUTPUT_FILE_H
#define BELVON_PLATFORM_OUTPUT_FILE_H

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/file.h"

namespace platform {

class OutputFile {
 public:
  OutputFile(FileSystem& fs, std::string path);
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();

  // Whether the temporary file could be created.
  bool isOpen() const { return file_.isOpen(); }
  // False once any write failed; later writes are not tried.
  bool write(std::string_view bytes);
  // Puts the file in place; false (and the target untouched) when any write,
  // the flush, the close or the rename failed.
  bool commit();
  const std::string& path() const { return path_; }

 private:
  void discard();
  FileSystem& fs_;
  std::string path_;
  std::string temporary_;
  File file_;
  bool failed_ = false;
  bool pending_ = false;  // the temporary file is ours and not yet renamed
};

// The whole of `bytes` as the file `path`, by way of an OutputFile.
bool WriteOutputFile(FileSystem& fs, const std::string& path, std::string_view bytes);

// "Die Datei ... kann nicht geschrieben werden.": the message for an output
// file that was not written, saying so when the name is no regular file.
std::string OutputFailureText(const std::string& path);

}  // namespace platform

#endif  // BELVON_PLATFORM_OUTPUT_FILE_H
