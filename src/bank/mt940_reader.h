// MT940 read through AqBanking's SWIFT importer with its "SWIFT-MT940"
// profile, which reads the German structured field 86 (?20..?29 and
// ?60..?63 remittance lines, ?32/?33 the name, EREF+ the end-to-end
// reference) the way the finance programs of our users do.
//
// AqBanking keeps a configuration folder; it gets a temporary one, made
// for the read and removed after it, so that the user's own AqBanking
// settings are neither read nor changed.
#ifndef BELVON_BANK_MT940_READER_H
#define BELVON_BANK_MT940_READER_H

#include <string>
#include <string_view>

#include "bank/statement.h"

namespace bank {

// Whether `bytes` look like MT940: a ":20:" field and a ":61:" or ":60F:"
// field near the start.
bool LooksLikeMt940(std::string_view bytes);

// Appends the transactions of the MT940 file. False, with `error` set
// (German) and `statement` unchanged, when AqBanking cannot read it.
bool ReadMt940(std::string_view bytes, Statement& statement, std::string& error);

}  // namespace bank

#endif  // BELVON_BANK_MT940_READER_H
