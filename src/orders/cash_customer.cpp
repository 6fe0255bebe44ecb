#include "orders/cash_customer.h"

#include <cstdio>
#include <fstream>
#include <span>
#include <sstream>

#include "platform/cp1252.h"
#include "store/address_file.h"
#include "store/file_replacement.h"
#include "store/indexed_file.h"
#include "store/text_field.h"

namespace orders {

namespace {

constexpr std::string_view kKey = "Barkunde=";

std::string SettingsPath(const frame::AppState& app) {
  return app.dataDirectory + kCashDeskSettingsName;
}

}  // namespace

std::string ParseCashCustomer(std::string_view text) {
  std::istringstream lines{std::string(text)};
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind(kKey, 0) == 0) return platform::Utf8ToCp1252(line.substr(kKey.size()));
  }
  return {};
}

std::string CashCustomerText(std::string_view name2) {
  return "[Kasse]\n" + std::string(kKey) + platform::Cp1252ToUtf8(name2) + "\n";
}

std::string LoadCashCustomer(const frame::AppState& app) {
  std::ifstream in(SettingsPath(app), std::ios::binary);
  if (!in) return {};
  std::string text(4096, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  return ParseCashCustomer(text);
}

bool SaveCashCustomer(frame::AppState& app, std::string_view name2) {
  // Written beside and renamed over, so that another cash desk never reads
  // half a file.
  const std::string text = CashCustomerText(name2);
  const std::string temporary = std::string(kCashDeskSettingsName) + ".neu";
  return store::WriteWholeFile(app, temporary,
                               {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}) &&
         std::rename(app.path(temporary.c_str()).c_str(), SettingsPath(app).c_str()) == 0;
}

std::int32_t FindCashCustomer(frame::AppState& app) {
  const std::string name2 = LoadCashCustomer(app);
  if (name2.empty()) return -1;
  store::AddressRecord key{};
  store::SetText(key.name2, name2);
  std::int32_t position = -1;
  std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(&key), sizeof key);
  if (store::AddressFile(app).LookupKey(bytes, position) != 1) return -1;
  const auto cursor = app.addresses;
  store::AddressRecord found{};
  const bool read = store::ReadAddress(app, found, position) == 1;
  const std::int32_t last = app.addresses.lastIndex;
  app.addresses = cursor;
  app.addresses.lastIndex = last;
  return read && store::GetText(found.name2) == name2 ? position : -1;
}

std::vector<CashCustomerCandidate> CashCustomerCandidates(frame::AppState& app) {
  std::vector<CashCustomerCandidate> names;
  const auto cursor = app.addresses;
  store::AddressRecord address{};
  for (std::int32_t i = 0; i <= app.addresses.lastIndex; ++i) {
    if (store::ReadAddress(app, address, i) != 1 || store::GetText(address.name2).empty())
      continue;
    CashCustomerCandidate& candidate = names.emplace_back();
    candidate.name2 = store::GetText(address.name2);
    const std::string_view name1 = store::GetText(address.name1), town = store::GetText(address.town);
    candidate.label = (name1.empty() ? "" : std::string(name1) + " ") + candidate.name2 +
                      (town.empty() ? "" : ", " + std::string(town));
  }
  const std::int32_t last = app.addresses.lastIndex;
  app.addresses = cursor;
  app.addresses.lastIndex = last;
  return names;
}

}  // namespace orders
