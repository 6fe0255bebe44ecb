// The electronic invoice of the current order as a file.
#ifndef BELVON_EINVOICE_EINVOICE_FILE_H
#define BELVON_EINVOICE_EINVOICE_FILE_H

#include <string>
#include <vector>

#include "store/app_state.h"
#include "platform/file.h"

namespace einvoice {

struct Document {
  bool ok = false;
  std::string message;             // why there is none, German
  std::vector<std::string> notes;  // what was changed on the way, German
  std::string xml;
};

// The XRechnung of the order current in `app` for its customer
// (app.address), with the settings of the data directory.
Document MakeDocument(const frame::AppState& app);

// "R<order number>.xml".
std::string DefaultFileName(const frame::AppState& app);

// The whole document or nothing: written beside, flushed and renamed over.
bool WriteDocument(platform::FileSystem& fs, const std::string& path, const std::string& xml);

}  // namespace einvoice

#endif  // BELVON_EINVOICE_EINVOICE_FILE_H
