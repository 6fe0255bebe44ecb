// An invoice as an XRechnung 3.0 document in the UN/CEFACT Cross Industry
// Invoice syntax (D16B), UTF-8.
#ifndef BELVON_EINVOICE_CII_WRITER_H
#define BELVON_EINVOICE_CII_WRITER_H

#include <cstdint>
#include <string>
#include <string_view>

#include "einvoice/invoice_model.h"

namespace einvoice {

inline constexpr const char* kXRechnungGuideline =
    "urn:cen.eu:en16931:2017#compliant#urn:xeinkauf.de:kosit:xrechnung_3.0";

// The plain EN 16931 one, which a PDF invoice may carry instead.
inline constexpr const char* kEn16931Guideline = "urn:cen.eu:en16931:2017";

// The document, naming `guideline` as the rules it follows.
std::string CiiXml(const Invoice& invoice, std::string_view guideline = kXRechnungGuideline);

// Cents as a decimal amount with two places ("-12.05").
std::string Amount(std::int64_t cents);

}  // namespace einvoice

#endif  // BELVON_EINVOICE_CII_WRITER_H
