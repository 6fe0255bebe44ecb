// E-mail addresses as the program accepts them before it connects.
#ifndef BELVON_MAIL_ADDRESS_H
#define BELVON_MAIL_ADDRESS_H

#include <string>
#include <string_view>

namespace mail {

// "name@example.de": a local part of the characters RFC 5322 allows
// unquoted (dots not leading, trailing or doubled), one "@", and a domain of
// at least two labels of letters, digits and hyphens (not at either end of
// a label), at most 254 characters in all. Quoted local parts, address
// literals, display names and anything with blanks or line breaks are
// refused.
bool ValidAddress(std::string_view address);

// Empty when the address may be used; else the German message naming it
// and `role` ("Empfänger", "Absender").
std::string AddressProblem(std::string_view address, std::string_view role);

}  // namespace mail

#endif  // BELVON_MAIL_ADDRESS_H
