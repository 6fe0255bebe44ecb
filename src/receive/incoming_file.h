// Opening a file a supplier sent: an e-invoice in CII or UBL, or a PDF that
// carries one (ZUGFeRD / Factur-X). Whatever is not one of them is told in
// German and read no further.
//
// The XML is read only when it is no larger than kLargestIncoming and
// declares no document type: a DOCTYPE is where entity definitions live
// (the "billion laughs"), and no e-invoice has one.
#ifndef BELVON_RECEIVE_INCOMING_FILE_H
#define BELVON_RECEIVE_INCOMING_FILE_H

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file.h"
#include "receive/received_invoice.h"

namespace receive {

inline constexpr std::uint64_t kLargestIncoming = 64ull * 1024 * 1024;

enum class Container { Xml, Pdf };

struct OpenedInvoice {
  bool ok = false;
  std::string message;  // German, why the file is not read
  ReceivedInvoice invoice;
  Container container = Container::Xml;
  std::string xml;             // the invoice's XML (a PDF's attachment)
  std::string attachmentName;  // the attachment of a PDF that held it
};

// The bytes of a file; `name` is how the messages name it.
OpenedInvoice ReadIncoming(std::string_view bytes, const std::string& name);

// The file at `path`, read whole when it is a regular file within the cap.
// `bytes` gets what was read (for keeping it as it came).
OpenedInvoice OpenIncoming(platform::FileSystem& fs, const std::string& path, std::string& bytes);

// Whether `bytes` starts as a PDF does.
bool LooksLikePdf(std::string_view bytes);

}  // namespace receive

#endif  // BELVON_RECEIVE_INCOMING_FILE_H
