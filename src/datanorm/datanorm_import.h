// The Datanorm 4.0 article import: the header record V (shown to the user,
// version 4 required) and the article records A and B, which create, change
// or delete articles; every other record type is passed over.
//
// Lines are handled as they come and everything a line stores is stored at
// once: a run stopped with Esc keeps what it stored. The import runs on the
// bulk article file (one hold of the files for the whole run) unless told to
// use the record store's single operations, which give the same files.
//
// An article line whose price or price mark is no number, or whose price is
// beyond what the article holds, is passed over whole; of a line longer than
// 291 characters only the first 291 are read. Both are counted and told at
// the end, with the number of the first such line.
#ifndef BELVON_DATANORM_DATANORM_IMPORT_H
#define BELVON_DATANORM_DATANORM_IMPORT_H

#include <cstdint>
#include <functional>
#include <string>

#include "datanorm/bulk_article_file.h"
#include "store/app_state.h"

namespace datanorm {

// Prices of a file in DM are divided by this on the way in.
inline constexpr double kDmPerEuro = 1.95583;

struct ImportOptions {
  std::string fileName;  // as typed: a name without a directory is in the current one
  std::string supplier;  // Windows-1252; every stored article gets it
  bool dmToEuro = false;
  bool bulk = true;
  BulkOptions bulkOptions;
};

struct ImportHooks {
  // The question "Datei Info" with the texts of the V record (UTF-8); true
  // reads the data. Without it app.ui is asked.
  std::function<bool(const std::string& text)> confirmFileInfo;
  // The progress display; true when the user pressed Esc. Without it the
  // progress box of app.ui.
  std::function<bool(int percent)> progress;
  // The number of articles in the file, after lines that stored an article.
  std::function<void(long articles)> count;
};

// Largest Datanorm file read: the catalogues of large wholesalers run to a
// few hundred megabytes.
inline constexpr std::uint64_t kImportFileMax = std::uint64_t{2} << 30;

enum class ImportEnd {
  Done,
  NotOpened,     // the file could not be opened: nothing happens
  Declined,      // No to "Datei Info"
  WrongVersion,  // not version 4; the user was told
  NoHeader,      // article records before any V record; the user was told
  Stopped,       // Esc
  Failed,        // the article files could not be held or written; the user was told
};

struct ImportResult {
  ImportEnd end = ImportEnd::Done;
  long articles = 0;     // in the article file afterwards
  long badNumbers = 0;   // article lines passed over for a number
  long cutLines = 0;     // lines whose rest beyond 291 characters was dropped
};

ImportResult ImportDatanorm(frame::AppState& app, const ImportOptions& options,
                            const ImportHooks& hooks = {});

}  // namespace datanorm

#endif  // BELVON_DATANORM_DATANORM_IMPORT_H
