#include "orders/girocode.h"

#include <qrencode.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

#include "platform/cp1252.h"
#include "store/field_rules.h"
#include "store/text_field.h"

namespace orders {

namespace {

struct IbanLength {
  std::string_view country;
  std::size_t length;
};

// The countries of the SEPA scheme and the length of their IBANs.
constexpr std::array<IbanLength, 41> kSepaIbans = {{
    {"AD", 24}, {"AL", 28}, {"AT", 20}, {"BE", 16}, {"BG", 22}, {"CH", 21}, {"CY", 28},
    {"CZ", 24}, {"DE", 22}, {"DK", 18}, {"EE", 20}, {"ES", 24}, {"FI", 18}, {"FR", 27},
    {"GB", 22}, {"GI", 23}, {"GR", 27}, {"HR", 21}, {"HU", 28}, {"IE", 22}, {"IS", 26},
    {"IT", 27}, {"LI", 21}, {"LT", 20}, {"LU", 20}, {"LV", 21}, {"MC", 27}, {"MD", 24},
    {"ME", 22}, {"MK", 19}, {"MT", 31}, {"NL", 18}, {"NO", 15}, {"PL", 28}, {"PT", 25},
    {"RO", 24}, {"SE", 24}, {"SI", 19}, {"SK", 24}, {"SM", 27}, {"VA", 22},
}};

std::string CurrencySymbol(const store::ParameterRecord& p, int index) {
  switch (index) {
    case 1: return platform::Cp1252ToUtf8(store::GetText(p.currencySymbol2));
    case 2: return platform::Cp1252ToUtf8(store::GetText(p.currencySymbol3));
    case 3: return platform::Cp1252ToUtf8(store::GetText(p.currencySymbol4));
    default: return platform::Cp1252ToUtf8(store::GetText(p.currencySymbol1));
  }
}

// The name on one line, without blanks at its ends, at most 70 characters
// (not bytes) long.
std::string BeneficiaryName(std::string_view utf8) {
  const auto begin = utf8.find_first_not_of(' ');
  utf8.remove_prefix(std::min(begin, utf8.size()));
  std::string name;
  std::size_t characters = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (characters == kGiroCodeNameMax) break;
    std::string character(utf8.substr(i, length));
    if (lead < 0x20 || lead == 0x7F) character = " ";
    name += character;
    ++characters;
    i += length;
  }
  const auto first = name.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string GiroCodeAmount(std::int64_t cents) {
  char text[40];
  std::snprintf(text, sizeof text, "EUR%lld.%02lld", static_cast<long long>(cents / 100),
                static_cast<long long>(cents % 100));
  return text;
}

bool SepaIban(std::string_view text) {
  const std::string iban = einvoice::CompactIban(text);
  if (!einvoice::IbanValid(iban)) return false;
  return std::any_of(kSepaIbans.begin(), kSepaIbans.end(), [&](const IbanLength& c) {
    return iban.starts_with(c.country) && iban.size() == c.length;
  });
}

std::string GiroCodePayload(const store::OrderHead& head, const store::ParameterRecord& p,
                            const einvoice::Settings& settings) {
  if (!settings.giroCode || head.orderNumber <= 0) return {};
  if (einvoice::CurrencyCode(CurrencySymbol(p, head.currency), settings) != "EUR") return {};
  const std::int64_t due = static_cast<std::int64_t>(head.total) - head.paid;
  if (head.total <= 0 || due <= 0 || due > kGiroCodeCentsMax) return {};
  const std::string name = BeneficiaryName(platform::Cp1252ToUtf8(store::GetText(p.companyName1)));
  const std::string iban = einvoice::CompactIban(platform::Cp1252ToUtf8(store::GetText(p.bank1Iban)));
  if (name.empty() || !SepaIban(iban)) return {};
  // BIC, purpose and structured reference stay empty; the remittance text
  // is the last line, with no separator after it.
  return "BCD\n002\n1\nSCT\n\n" + name + '\n' + iban + '\n' + GiroCodeAmount(due) + "\n\n\nRechnung " +
         std::to_string(head.orderNumber);
}

QrMatrix EncodeQr(std::string_view bytes) {
  QrMatrix matrix;
  const std::unique_ptr<QRcode, void (*)(QRcode*)> code(
      QRcode_encodeData(static_cast<int>(bytes.size()),
                        reinterpret_cast<const unsigned char*>(bytes.data()), 0, QR_ECLEVEL_M),
      QRcode_free);
  if (!code) return matrix;
  matrix.size = code->width;
  matrix.dark.resize(static_cast<std::size_t>(code->width) * code->width);
  for (std::size_t i = 0; i < matrix.dark.size(); ++i) matrix.dark[i] = (code->data[i] & 1) != 0;
  return matrix;
}

}  // namespace orders
