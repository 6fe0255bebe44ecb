// An invoice as an XRechnung 3.0 document in the UN/CEFACT Cross Industry
// Invoice syntax (D16B), UTF-8.
#ifndef BELVON_EINVOICE_CII_WRITER_H
#define BELVON_EINVOICE_CII_WRITER_H

#include <cstdint>
#include <string>

#include "einvoice/invoice_model.h"

namespace einvoice {

inline constexpr const char* kXRechnungGuideline =
    "urn:cen.eu:en16931:2017#compliant#urn:xeinkauf.de:kosit:xrechnung_3.0";

std::string CiiXml(const Invoice& invoice);

// Cents as a decimal amount with two places ("-12.05").
std::string Amount(std::int64_t cents);

}  // namespace einvoice

#endif  // BELVON_EINVOICE_CII_WRITER_H
