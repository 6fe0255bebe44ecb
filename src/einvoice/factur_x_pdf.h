// A PDF invoice that carries its electronic invoice: the PDF/A-1b the PDF
// writer made, turned into a PDF/A-3b with the CII attached as Factur-X 1.0
// / ZUGFeRD 2.x (profile EN 16931, or XRechnung) has it.
#ifndef BELVON_EINVOICE_FACTUR_X_PDF_H
#define BELVON_EINVOICE_FACTUR_X_PDF_H

#include <string>
#include <string_view>

namespace einvoice {

// `pdf` is a PDF/A-1b (XMP metadata, sRGB output intent, every font
// embedded), `xml` the invoice's CII. `out` gets the PDF/A-3b: the XML as the
// embedded file "factur-x.xml" (MIME type text/xml, dated with the
// document's creation date, relation /Alternative), named in the
// catalogue's /AF array and in its EmbeddedFiles name tree, and the XMP
// metadata of FacturXMetadata with `conformanceLevel` (ConformanceLevel of
// the XML's guideline). False, with `error` (English, for a log) saying why,
// when `pdf` cannot be read or lacks what PDF/A needs.
bool MakeFacturXPdf(std::string_view pdf, std::string_view xml, std::string_view conformanceLevel,
                    std::string& out, std::string* error = nullptr);

}  // namespace einvoice

#endif  // BELVON_EINVOICE_FACTUR_X_PDF_H
