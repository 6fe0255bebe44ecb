// The electronic invoice of the current order as a file.
#ifndef BELVON_EINVOICE_EINVOICE_FILE_H
#define BELVON_EINVOICE_EINVOICE_FILE_H

#include <string>
#include <string_view>
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
Document MakeDocument(frame::AppState& app);

// The XRechnung of the document a print of the current order issues: an
// invoice (`collective` false) taken as dated `invoiceDate` and marked
// printed, as the print will store it; a collective invoice as the issued
// one in `app.order` stands. `app.order` is left as it was. The XML names
// `guideline`.
// `precedingInvoice` and `precedingDate` ("dd.mm.yyyy"): the invoice a
// credit note being issued cancels (afterwards its record names it).
Document MakeIssuedDocument(frame::AppState& app, bool collective, const std::string& invoiceDate,
                            std::string_view guideline, std::int32_t precedingInvoice = 0,
                            const std::string& precedingDate = {});

// "R<order number>.xml".
std::string DefaultFileName(const frame::AppState& app);

// The whole document or nothing: written beside, flushed and renamed over.
bool WriteDocument(platform::FileSystem& fs, const std::string& path, const std::string& xml);

}  // namespace einvoice

#endif  // BELVON_EINVOICE_EINVOICE_FILE_H
