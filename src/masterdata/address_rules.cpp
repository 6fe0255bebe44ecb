#include "masterdata/address_rules.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "core/decimal.h"
#include "core/user_interface.h"
#include "platform/cp1252.h"
#include "store/indexed_file.h"
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

namespace {

// The text fields the cash desk's dialog shows of its recipient.
template <typename Visit>
void ForEachShownText(store::AddressRecord& to, const store::AddressRecord& from, Visit visit) {
  visit(to.customerNumber, from.customerNumber, sizeof to.customerNumber);
  visit(to.name1, from.name1, sizeof to.name1);
  visit(to.name2, from.name2, sizeof to.name2);
  visit(to.name3, from.name3, sizeof to.name3);
  visit(to.street, from.street, sizeof to.street);
  visit(to.town, from.town, sizeof to.town);
  visit(to.phone, from.phone, sizeof to.phone);
  visit(to.fax, from.fax, sizeof to.fax);
}

void TakeShownFields(store::AddressRecord& to, const store::AddressRecord& from) {
  to.salutation = static_cast<std::uint8_t>((to.salutation & ~store::kSalutationMask) |
                                            (from.salutation & store::kSalutationMask));
  ForEachShownText(to, from, [](char* mine, const char* theirs, std::size_t width) {
    store::SetText(mine, width, store::GetText(theirs, width));
  });
}

bool SameShownFields(const store::AddressRecord& a, const store::AddressRecord& b) {
  bool same = (a.salutation & store::kSalutationMask) == (b.salutation & store::kSalutationMask);
  store::AddressRecord copy = a;
  ForEachShownText(copy, b, [&same](char* mine, const char* theirs, std::size_t width) {
    same = same && store::GetText(mine, width) == store::GetText(theirs, width);
  });
  return same;
}

void Tell(frame::AppState& app, const std::string& text) {
  if (app.ui) app.ui->message(text, frame::Icon::Stop);
}

}  // namespace

bool SettleDocumentRecipient(frame::AppState& app, const store::AddressRecord& fields) {
  const std::string name = platform::Cp1252ToUtf8(store::GetText(fields.name2));
  std::int32_t position = -1;
  store::AddressRecord onFile{};
  std::span<const std::uint8_t> key(reinterpret_cast<const std::uint8_t*>(&fields), sizeof fields);
  const bool known = app.addresses.lastIndex >= 0 &&
                     store::AddressFile(app).LookupKey(key, position) == 1 &&
                     store::ReadAddress(app, onFile, position) == 1 &&
                     store::GetText(onFile.name2) == store::GetText(fields.name2);
  store::AddressRecord recipient = onFile;
  if (known && !SameShownFields(onFile, fields)) {
    switch (app.ui ? app.ui->ask("Die Angaben zu „" + name +
                                     "“ wurden geändert.\nÄnderungen bei der Adresse speichern?",
                                 frame::Icon::Question)
                   : frame::UserInterface::Choice::No) {
      case frame::UserInterface::Choice::Cancel: return false;
      case frame::UserInterface::Choice::No: break;
      case frame::UserInterface::Choice::Yes:
        TakeShownFields(recipient, fields);
        if (!store::WriteAddress(app, recipient, position, false)) {
          Tell(app, "Die Adresse konnte nicht gespeichert werden.");
          return false;
        }
        break;
    }
  } else if (!known) {
    if (!app.ui || !app.ui->question("„" + name + "“ ist noch keine Adresse.\n"
                                         "Als neue Adresse anlegen?",
                                     frame::Icon::Question, false))
      return false;
    recipient = NewAddress(app.parameters);
    recipient.length = sizeof recipient;
    recipient.kind = store::kAddressCustomer;
    const std::string standing(store::GetText(recipient.customerNumber));
    TakeShownFields(recipient, fields);
    recipient.copies = fields.copies;
    if (store::GetText(recipient.customerNumber).empty())
      store::SetText(recipient.customerNumber, standing);
    std::string notice;
    const std::string refusal = CheckAddressBeforeStore(app, recipient, true, &notice);
    if (!refusal.empty() || !notice.empty()) {
      Tell(app, refusal.empty() ? notice : refusal);
      return false;
    }
    position = -1;
    if (!store::WriteAddress(app, recipient, position, true)) {
      Tell(app, "Die Adresse konnte nicht gespeichert werden.");
      return false;
    }
  }
  if (!store::ReadAddress(app, recipient, position)) return false;
  recipient.copies = fields.copies;
  app.address = recipient;
  app.addresses.position = position;
  return true;
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
