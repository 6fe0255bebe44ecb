#include "store/field_rules.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <map>

namespace einvoice {

namespace {

std::string Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

bool Upper(char c) { return c >= 'A' && c <= 'Z'; }
bool Digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string CompactIban(std::string_view iban) {
  std::string out;
  for (char c : iban) {
    if (c == ' ') continue;
    out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return out;
}

bool IbanValid(std::string_view text) {
  const std::string iban = CompactIban(text);
  if (iban.size() < 15 || iban.size() > 34) return false;
  if (!Upper(iban[0]) || !Upper(iban[1]) || !Digit(iban[2]) || !Digit(iban[3])) return false;
  // The first four characters move to the end; letters count 10 to 35.
  const std::string moved = iban.substr(4) + iban.substr(0, 4);
  int remainder = 0;
  for (char c : moved) {
    if (Digit(c)) {
      remainder = (remainder * 10 + (c - '0')) % 97;
    } else if (Upper(c)) {
      remainder = (remainder * 100 + (c - 'A' + 10)) % 97;
    } else {
      return false;
    }
  }
  return remainder == 1;
}

Town SplitTown(std::string_view text) {
  std::string town = Trimmed(text);
  // A country prefix before the postcode: "D-", "DE-".
  const auto dash = town.find('-');
  if (dash != std::string::npos && dash <= 2 && dash + 1 < town.size() && Digit(town[dash + 1])) {
    bool letters = dash > 0;
    for (std::size_t i = 0; i < dash; ++i) letters = letters && std::isalpha(static_cast<unsigned char>(town[i]));
    if (letters) town.erase(0, dash + 1);
  }
  std::size_t digits = 0;
  while (digits < town.size() && Digit(town[digits])) ++digits;
  if (digits == 0) return {{}, town};
  return {town.substr(0, digits), Trimmed(std::string_view(town).substr(digits))};
}

std::string UnitCode(std::string_view unit) {
  static const std::map<std::string, std::string> kCodes = {
      {"stk", "H87"}, {"st", "H87"},  {"stck", "H87"}, {"stück", "H87"}, {"m", "MTR"},
      {"kg", "KGM"},  {"l", "LTR"},   {"std", "HUR"},  {"h", "HUR"},     {"m²", "MTK"},
      {"m2", "MTK"},  {"qm", "MTK"},  {"pauschal", "LS"}, {"psch", "LS"}, {"pausch", "LS"}};
  std::string key = Trimmed(unit);
  while (!key.empty() && key.back() == '.') key.pop_back();
  for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  // "Stück" in capitals still has its small umlaut: UTF-8 "Ü" is C3 9C.
  if (key == "st\xC3\x9C" "ck") key = "stück";
  const auto found = kCodes.find(key);
  return found == kCodes.end() ? "C62" : found->second;
}

bool CurrencyCodeValid(std::string_view code) {
  // The ISO 4217 alpha-3 codes the e-invoice rules accept (code list of
  // rule BR-CL-04), sorted. DM, DEM, ATS and the other pre-euro currencies
  // are no longer among them.
  static constexpr std::string_view kCodes[] = {
    "AED", "AFN", "ALL", "AMD", "AOA", "ARS", "AUD", "AWG", "AZN", "BAM", "BBD", "BDT", "BHD",
    "BIF", "BMD", "BND", "BOB", "BOV", "BRL", "BSD", "BTN", "BWP", "BYN", "BZD", "CAD", "CDF",
    "CHE", "CHF", "CHW", "CLF", "CLP", "CNH", "CNY", "COP", "COU", "CRC", "CUP", "CVE", "CZK",
    "DJF", "DKK", "DOP", "DZD", "EGP", "ERN", "ETB", "EUR", "FJD", "FKP", "GBP", "GEL", "GHS",
    "GIP", "GMD", "GNF", "GTQ", "GYD", "HKD", "HNL", "HTG", "HUF", "IDR", "ILS", "INR", "IQD",
    "IRR", "ISK", "JMD", "JOD", "JPY", "KES", "KGS", "KHR", "KMF", "KPW", "KRW", "KWD", "KYD",
    "KZT", "LAK", "LBP", "LKR", "LRD", "LSL", "LYD", "MAD", "MDL", "MGA", "MKD", "MMK", "MNT",
    "MOP", "MRU", "MUR", "MVR", "MWK", "MXN", "MXV", "MYR", "MZN", "NAD", "NGN", "NIO", "NOK",
    "NPR", "NZD", "OMR", "PAB", "PEN", "PGK", "PHP", "PKR", "PLN", "PYG", "QAR", "RON", "RSD",
    "RUB", "RWF", "SAR", "SBD", "SCR", "SDG", "SEK", "SGD", "SHP", "SLE", "SOS", "SRD", "SSP",
    "STD", "SVC", "SYP", "SZL", "THB", "TJS", "TMT", "TND", "TOP", "TRY", "TTD", "TWD", "TZS",
    "UAH", "UGX", "USD", "USN", "UYI", "UYU", "UYW", "UZS", "VED", "VES", "VND", "VUV", "WST",
    "XAF", "XAG", "XAU", "XBA", "XBB", "XBC", "XBD", "XCD", "XCG", "XDR", "XOF", "XPD", "XPF",
    "XPT", "XSU", "XTS", "XUA", "XXX", "YER", "ZAR", "ZMW", "ZWG"};
  return std::binary_search(std::begin(kCodes), std::end(kCodes), code);
}

std::string XmlText(std::string_view text, bool& replaced) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n' || c == '\t' || static_cast<unsigned char>(c) >= 0x20) {
      out += c;
    } else {
      out += ' ';
      replaced = true;
    }
  }
  return out;
}

}  // namespace einvoice
