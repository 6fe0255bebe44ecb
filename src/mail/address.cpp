#include "mail/address.h"

#include <cstring>

namespace mail {

namespace {

bool AlphaNumeric(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool LocalCharacter(char c) {
  return AlphaNumeric(c) || (c != '\0' && std::strchr("!#$%&'*+-/=?^_`{|}~.", c) != nullptr);
}

bool Label(std::string_view label) {
  if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-')
    return false;
  for (char c : label)
    if (!AlphaNumeric(c) && c != '-') return false;
  return true;
}

}  // namespace

bool ValidAddress(std::string_view address) {
  if (address.size() > 254) return false;
  const std::size_t at = address.find('@');
  if (at == std::string_view::npos || address.find('@', at + 1) != std::string_view::npos)
    return false;
  const std::string_view local = address.substr(0, at);
  const std::string_view domain = address.substr(at + 1);
  if (local.empty() || local.size() > 64 || local.front() == '.' || local.back() == '.' ||
      local.find("..") != std::string_view::npos)
    return false;
  for (char c : local)
    if (!LocalCharacter(c)) return false;
  int labels = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t dot = domain.find('.', start);
    const std::string_view label = domain.substr(start, dot == std::string_view::npos ? dot : dot - start);
    if (!Label(label)) return false;
    ++labels;
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  return labels >= 2;
}

std::string AddressProblem(std::string_view address, std::string_view role) {
  if (address.empty())
    return "Es ist keine E-Mail-Adresse für den " + std::string(role) + " angegeben.";
  if (ValidAddress(address)) return {};
  return "\"" + std::string(address) + "\" ist keine gültige E-Mail-Adresse (" +
         std::string(role) + "). Es wurde nichts gesendet.";
}

}  // namespace mail
