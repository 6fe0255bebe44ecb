#include "receive/incoming_file.h"

#include <algorithm>
#include <pugixml.hpp>

#include "core/decimal.h"
#include "platform/file_reading.h"
#include "receive/cii_reader.h"
#include "receive/pdf_attachment.h"
#include "receive/ubl_reader.h"
#include "receive/xml_nodes.h"

namespace receive {

namespace {

constexpr std::string_view kCiiNamespace =
    "urn:un:unece:uncefact:data:standard:CrossIndustryInvoice:100";
constexpr std::string_view kUblInvoiceNamespace =
    "urn:oasis:names:specification:ubl:schema:xsd:Invoice-2";
constexpr std::string_view kUblCreditNoteNamespace =
    "urn:oasis:names:specification:ubl:schema:xsd:CreditNote-2";

// The namespace the root element's own prefix (or the default) is bound to.
std::string RootNamespace(const pugi::xml_node& root) {
  std::string_view name = root.name();
  const std::size_t colon = name.find(':');
  const std::string attribute =
      colon == std::string_view::npos ? "xmlns" : "xmlns:" + std::string(name.substr(0, colon));
  return root.attribute(attribute.c_str()).value();
}

int LineOf(std::string_view bytes, std::ptrdiff_t offset) {
  offset = std::clamp<std::ptrdiff_t>(offset, 0, static_cast<std::ptrdiff_t>(bytes.size()));
  return 1 + static_cast<int>(std::count(bytes.begin(), bytes.begin() + offset, '\n'));
}

OpenedInvoice Refused(std::string message) {
  OpenedInvoice opened;
  opened.message = std::move(message);
  return opened;
}

OpenedInvoice ReadXml(std::string_view bytes, const std::string& name) {
  pugi::xml_document document;
  // The document type is read only to be refused: pugixml expands no
  // entity of its own, but a file that declares any is no e-invoice.
  const pugi::xml_parse_result parsed =
      document.load_buffer(bytes.data(), bytes.size(), pugi::parse_default | pugi::parse_doctype);
  for (pugi::xml_node node = document.first_child(); node; node = node.next_sibling())
    if (node.type() == pugi::node_doctype)
      return Refused("„" + name +
                     "“ enthält eine Dokumenttyp-Deklaration (DOCTYPE, Entitäten). Eine E-Rechnung "
                     "hat keine; die Datei wird aus Sicherheitsgründen nicht gelesen.");
  if (!parsed) {
    if (parsed.status == pugi::status_no_document_element)
      return Refused("„" + name +
                     "“ ist keine E-Rechnung: die Datei ist leer oder enthält weder XML noch PDF.");
    return Refused(
        frame::Format("„%s“ ist kein vollständiges XML: Fehler in Zeile %d. Die Datei ist "
                      "beschädigt oder abgeschnitten.",
                      name.c_str(), LineOf(bytes, parsed.offset)));
  }
  const pugi::xml_node root = document.document_element();
  const std::string_view local = LocalName(root);
  const std::string space = RootNamespace(root);
  OpenedInvoice opened;
  if (local == "CrossIndustryInvoice" && space == kCiiNamespace) {
    opened.invoice = ReadCii(root);
  } else if ((local == "Invoice" && space == kUblInvoiceNamespace) ||
             (local == "CreditNote" && space == kUblCreditNoteNamespace)) {
    opened.invoice = ReadUbl(root);
  } else if (local == "CrossIndustryDocument") {
    return Refused("„" + name +
                   "“ ist eine Rechnung nach ZUGFeRD 1.0; gelesen werden ZUGFeRD 2 / Factur-X, "
                   "XRechnung (CII) und UBL 2.1.");
  } else {
    return Refused(
        "„" + name +
        "“ ist keine E-Rechnung: das XML ist weder eine CII-Rechnung "
        "(CrossIndustryInvoice) noch eine UBL-Rechnung oder -Gutschrift (Wurzelelement „" +
        std::string(root.name()) + "“).");
  }
  opened.ok = true;
  opened.xml = std::string(bytes);
  return opened;
}

std::string Names(const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& n : names) joined += (joined.empty() ? "" : ", ") + n;
  return joined;
}

}  // namespace

bool LooksLikePdf(std::string_view bytes) {
  // The header may follow a little garbage, as readers allow.
  return bytes.substr(0, 1024).find("%PDF-") != std::string_view::npos;
}

OpenedInvoice ReadIncoming(std::string_view bytes, const std::string& name) {
  if (bytes.size() > kLargestIncoming)
    return Refused(
        frame::Format("„%s“ ist größer als %llu MB und wird nicht als E-Rechnung gelesen.",
                      name.c_str(), static_cast<unsigned long long>(kLargestIncoming >> 20)));
  if (!LooksLikePdf(bytes)) return ReadXml(bytes, name);
  const PdfXml found = FindInvoiceXml(bytes, kLargestIncoming);
  switch (found.outcome) {
    case PdfXmlOutcome::Found:
      break;
    case PdfXmlOutcome::None:
      return Refused("Das PDF „" + name +
                     "“ enthält keine E-Rechnung (keinen Anhang factur-x.xml, zugferd-invoice.xml "
                     "oder xrechnung.xml)" +
                     (found.names.empty() ? std::string(".")
                                          : "; angehängt ist: " + Names(found.names) + ".") +
                     " Es ist eine Rechnung nur auf Papier.");
    case PdfXmlOutcome::Several:
      return Refused(
          "Das PDF „" + name + "“ enthält mehr als eine E-Rechnung (" + Names(found.names) +
          "); welche gilt, ist nicht zu entscheiden. Bitte beim Lieferanten nachfragen.");
    case PdfXmlOutcome::TooLarge:
      return Refused(
          frame::Format("Die E-Rechnung im PDF „%s“ ist größer als %llu MB und wird nicht gelesen.",
                        name.c_str(), static_cast<unsigned long long>(kLargestIncoming >> 20)));
    case PdfXmlOutcome::Unreadable:
      return Refused("„" + name +
                     "“ ist kein lesbares PDF; die Datei ist beschädigt oder abgeschnitten.");
  }
  OpenedInvoice opened = ReadXml(found.xml, name + " (" + found.name + ")");
  opened.container = Container::Pdf;
  opened.attachmentName = found.name;
  return opened;
}

OpenedInvoice OpenIncoming(platform::FileSystem& fs, const std::string& path, std::string& bytes) {
  bytes.clear();
  const platform::ReadRefusal refusal =
      platform::ReadRegularFile(fs, path, kLargestIncoming, bytes);
  if (refusal != platform::ReadRefusal::None)
    return Refused(platform::ReadRefusalText(path, refusal, kLargestIncoming));
  const std::size_t slash = path.find_last_of('/');
  return ReadIncoming(bytes, slash == std::string::npos ? path : path.substr(slash + 1));
}

}  // namespace receive
