#include "masterdata/address_rules.h"

#include <algorithm>
#include <cmath>

#include "core/decimal.h"
#include "store/address_file.h"
#include "store/text_field.h"

namespace masterdata {

store::AddressRecord NewAddress(const store::ParameterRecord& parameters) {
  store::AddressRecord address{};
  address.cashDiscount = parameters.cashDiscount;
  address.cashDiscountPeriod = parameters.cashDiscountPeriod;
  address.paymentPeriod = parameters.paymentPeriod;
  address.kind = 0;
  address.salutation = 0;
  address.copies = 1;
  store::SetText(address.customerNumber, "1");
  return address;
}

void AppendBlanksWhileTaken(frame::AppState& app, store::AddressRecord& address) {
  std::string name(store::GetText(address.name2));
  while (name.size() < kNameLimit) {
    store::SetText(address.name2, name);
    if (store::SecondNameExists(app, address, true) <= 0) return;
    name += ' ';
  }
  store::SetText(address.name2, name);
}

std::string CheckAddressBeforeStore(frame::AppState& app, store::AddressRecord& address,
                                    bool isNew, std::string* notice) {
  const std::string unreadable = "Die Adressen konnten nicht gelesen werden.";
  if (isNew) {
    AppendBlanksWhileTaken(app, address);
    int clash = store::MakeCustomerNumberUnique(app, address);
    if (clash < 0) return unreadable;
    if (clash > 0 && notice) *notice = "Kundennummer ist bereits vergeben. Bitte andere Nummer wählen.";
  }
  int taken = store::SecondNameExists(app, address, isNew);
  if (taken < 0) return unreadable;
  if (taken > 0) return "Name2 ist schon vorhanden und muß anders lauten.";
  return {};
}

bool FindFirstAddress(frame::AppState& app) {
  std::int32_t position = -1;
  store::AddressRecord address{};
  if (!store::ScanAddresses(app, app.addressCriteria, position, true) ||
      !store::ReadAddress(app, address, position))
    return false;
  app.addresses.position = position;
  app.address = address;
  return true;
}

std::string TurnoverText(std::int32_t cents, frame::FigureStyle style) {
  return frame::Amount(style, (cents + 0.005) / 100);
}

std::optional<std::int32_t> ParseTurnover(std::string_view text) { return frame::ReadCents(text); }

void StoreNameCriterion(store::AddressRecord& criteria, std::string_view name2) {
  store::SetText(criteria.name2, name2.empty() ? std::string_view(kNoNumberCriterion) : name2);
}

std::string_view ShownNameCriterion(const store::AddressRecord& criteria) {
  std::string_view name = store::GetText(criteria.name2);
  return name == kNoNumberCriterion ? std::string_view() : name;
}

}  // namespace masterdata
