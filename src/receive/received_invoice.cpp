#include "receive/received_invoice.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace receive {

Amount ReadAmount(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  // A plain decimal: sign, digits, at most one point; no exponent, no
  // thousands separator (the XML types allow none).
  std::size_t i = 0, digits = 0, points = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  for (; i < text.size(); ++i) {
    if (std::isdigit(static_cast<unsigned char>(text[i])))
      ++digits;
    else if (text[i] == '.' && ++points == 1)
      continue;
    else
      return {};
  }
  if (digits == 0) return {};
  std::string_view number = text.front() == '+' ? text.substr(1) : text;
  Amount amount;
  amount.text = std::string(text);
  std::from_chars(number.data(), number.data() + number.size(), amount.value);
  return amount;
}

std::int64_t Cents(double value) {
  return std::llround(value * 100.0 + (value >= 0 ? 1e-7 : -1e-7));
}

std::string ReceivedInvoice::iban() const {
  for (const PaymentMeans& means : payments)
    if (!means.iban.empty() && means.code != "59") return means.iban;
  return {};
}

std::string TypeName(std::string_view typeCode) {
  if (typeCode == "381" || typeCode == "261" || typeCode == "396") return "Gutschrift";
  if (typeCode == "384") return "Rechnungskorrektur";
  if (typeCode == "326") return "Teilrechnung";
  if (typeCode == "875") return "Abschlagsrechnung (Bau)";
  if (typeCode == "876") return "Teilschlussrechnung (Bau)";
  if (typeCode == "877") return "Schlussrechnung (Bau)";
  if (typeCode == "386") return "Vorauszahlungsrechnung";
  if (typeCode == "389") return "Gutschriftsverfahren (Selbstfakturierung)";
  if (typeCode == "751") return "Rechnungsinformation";
  return "Rechnung";
}

std::string GermanDate(std::string_view text) {
  auto digits = [](std::string_view s) {
    for (char c : s)
      if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return !s.empty();
  };
  if (text.size() == 8 && digits(text))
    return std::string(text.substr(6, 2)) + "." + std::string(text.substr(4, 2)) + "." +
           std::string(text.substr(0, 4));
  if (text.size() >= 10 && text[4] == '-' && text[7] == '-' && digits(text.substr(0, 4)) &&
      digits(text.substr(5, 2)) && digits(text.substr(8, 2)))
    return std::string(text.substr(8, 2)) + "." + std::string(text.substr(5, 2)) + "." +
           std::string(text.substr(0, 4));
  return std::string(text);
}

}  // namespace receive
