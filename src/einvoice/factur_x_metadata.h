// The XMP metadata of a PDF/A-3b invoice that carries its e-invoice
// (Factur-X 1.0 / ZUGFeRD 2.x, profile EN 16931 or XRechnung).
#ifndef BELVON_EINVOICE_FACTUR_X_METADATA_H
#define BELVON_EINVOICE_FACTUR_X_METADATA_H

#include <string>
#include <string_view>

namespace einvoice {

// The name the attached invoice has in the PDF.
inline constexpr const char* kFacturXFileName = "factur-x.xml";
inline constexpr const char* kFacturXNamespace = "urn:factur-x:pdfa:CrossIndustryDocument:invoice:1p0#";

// The XMP packet of a PDF/A-1b written by the PDF writer, claiming PDF/A-3b
// and describing the attached invoice: the PDF/A identification says part 3,
// conformance B, and the Factur-X properties follow (with the conformance
// level of the attached XML's guideline), with the extension
// schema block PDF/A requires for a schema of its own. Title, dates and
// producer stay as the writer put them, so that they still match the
// document information. Empty when `xmp` is no XMP packet.
std::string FacturXMetadata(std::string_view xmp, std::string_view conformanceLevel);

// The conformance level the metadata pairs with the guideline the attached
// XML names: "XRECHNUNG" for the XRechnung guideline, else "EN 16931".
std::string_view ConformanceLevel(std::string_view guideline);

}  // namespace einvoice

#endif  // BELVON_EINVOICE_FACTUR_X_METADATA_H
