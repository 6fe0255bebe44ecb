// The values of our records in the forms an electronic invoice needs: a
// checked IBAN, the postcode and town of an "Ort" field, a unit code, texts
// that XML can carry.
#ifndef BELVON_STORE_FIELD_RULES_H
#define BELVON_STORE_FIELD_RULES_H

#include <string>
#include <string_view>

namespace einvoice {

// Without blanks, letters upper-case.
std::string CompactIban(std::string_view iban);
// Country letters, check digits and the remainder 1 of the number modulo 97.
bool IbanValid(std::string_view iban);

struct Town {
  std::string postcode;
  std::string city;
};
// "12345 Musterstadt" or "D-12345 Musterstadt"; a town without leading
// digits has no postcode.
Town SplitTown(std::string_view town);

// The UN/ECE Rec. 20 code of a unit text ("Stk" H87, "m" MTR ...); C62
// (one) for anything unknown.
std::string UnitCode(std::string_view unit);

// An ISO 4217 currency code in use ("EUR", "CHF"; not "DEM").
bool CurrencyCodeValid(std::string_view code);

// The text with every line end as a line feed and every other control
// character that XML 1.0 cannot carry as a blank; `replaced` is set when
// one was.
std::string XmlText(std::string_view utf8, bool& replaced);

}  // namespace einvoice

#endif  // BELVON_STORE_FIELD_RULES_H
