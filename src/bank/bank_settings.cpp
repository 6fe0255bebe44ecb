#include "bank/bank_settings.h"

#include "store/settings_lines.h"

namespace bank {

namespace {
constexpr std::uint64_t kCap = 64 * 1024;
}

std::string BankAccount(const frame::AppState& app) {
  const store::KeyedValues values = store::LoadKeyedValues(app, kBankSettingsName, kCap);
  const auto it = values.find("Konto");
  return it == values.end() ? kDefaultBankAccount : it->second;
}

bool SaveBankAccount(frame::AppState& app, const std::string& account) {
  store::KeyedValues values = store::LoadKeyedValues(app, kBankSettingsName, kCap);
  values["Konto"] = account;
  return store::SaveKeyedValues(app, kBankSettingsName, "Bank", values);
}

}  // namespace bank
