// The Datanorm 4.0 article export: a V record, then an A and a B record for
// every article in index order, in code page 850 with CR LF line ends, for
// other programs (or another installation) to import.
#ifndef BELVON_DATANORM_DATANORM_EXPORT_H
#define BELVON_DATANORM_DATANORM_EXPORT_H

#include <functional>
#include <string>

#include "store/app_state.h"

namespace datanorm {

// Where the export goes unless told otherwise: the current directory.
inline constexpr const char* kExportFileName = "datanorm.001";

enum class ExportEnd {
  Done,
  NotCreated,  // the file could not be created: nothing happens
  Stopped,     // Esc; the file holds the articles written so far
  Unreadable,  // the article files could not be opened
  NotWritten,  // a write failed: the file is not there (the user was told)
};

struct ExportResult {
  ExportEnd end = ExportEnd::Done;
  long articles = 0;  // written
  // Articles left out because their price does not fit the 8 characters of
  // its field (below -9999999 or above 99999999 cents): cut, it would be
  // another price. The user is told their numbers.
  long leftOut = 0;
};

// `progress` (true on Esc) defaults to the progress box of app.ui.
ExportResult ExportDatanorm(frame::AppState& app, const std::string& fileName,
                            const std::function<bool(int percent)>& progress = {});

}  // namespace datanorm

#endif  // BELVON_DATANORM_DATANORM_EXPORT_H
