#include "masterdata/ui/address_fields.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLineEdit>
#include <utility>

#include "core/decimal.h"
#include "core/settings_rules.h"
#include "widgets/dialog_support.h"
#include "widgets/number_field.h"
#include "masterdata/address_rules.h"
#include "store/text_field.h"

namespace masterdata {

namespace {

struct TextControl {
  int id;
  int limit;
  char* (*field)(store::AddressRecord&);
  std::size_t width;
};

#define BELVON_ADDRESS_TEXT(controlId, limit, member)                                   \
  TextControl {                                                                         \
    controlId, limit, [](store::AddressRecord& a) -> char* { return a.member; },        \
        sizeof(store::AddressRecord::member)                                            \
  }

const TextControl kTexts[] = {
    BELVON_ADDRESS_TEXT(id::kCustomerNumber, 9, customerNumber),
    BELVON_ADDRESS_TEXT(id::kName1, 41, name1),
    BELVON_ADDRESS_TEXT(id::kName2, 41, name2),
    BELVON_ADDRESS_TEXT(id::kName3, 41, name3),
    BELVON_ADDRESS_TEXT(id::kStreet, 41, street),
    BELVON_ADDRESS_TEXT(id::kTown, 41, town),
    BELVON_ADDRESS_TEXT(id::kPhone, 21, phone),
    BELVON_ADDRESS_TEXT(id::kMobile, 21, mobile),
    BELVON_ADDRESS_TEXT(id::kFax, 21, fax),
    BELVON_ADDRESS_TEXT(id::kEmail, 41, email),
    BELVON_ADDRESS_TEXT(id::kRemark, 401, remark),
    BELVON_ADDRESS_TEXT(id::kVatId, 41, vatId),
    BELVON_ADDRESS_TEXT(id::kDispatch, 41, dispatch),
    BELVON_ADDRESS_TEXT(id::kAppointment, 10, appointment),
    BELVON_ADDRESS_TEXT(id::kFirstContact, 10, firstContact),
    BELVON_ADDRESS_TEXT(id::kLastOrder, 10, lastOrder),
    BELVON_ADDRESS_TEXT(2200, 41, deliveryLine1),
    BELVON_ADDRESS_TEXT(2201, 41, deliveryLine2),
    BELVON_ADDRESS_TEXT(2202, 41, deliveryLine3),
    BELVON_ADDRESS_TEXT(2205, 41, deliveryLine4),
    BELVON_ADDRESS_TEXT(2207, 41, deliveryLine5),
    BELVON_ADDRESS_TEXT(2208, 21, deliveryLine6),
    BELVON_ADDRESS_TEXT(2210, 21, deliveryLine7),
};

const TextControl* FindText(int controlId) {
  for (const TextControl& t : kTexts)
    if (t.id == controlId) return &t;
  return nullptr;
}

constexpr std::uint16_t kKindValues[] = {1, 2, 4, 8};
constexpr std::uint8_t kSalutationValues[] = {1, 2, 4, 8, 0};

QString TextOf(QWidget* control) {
  if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text();
  if (auto* multi = qobject_cast<frame::LimitedTextEdit*>(control)) return multi->storedText();
  return {};
}

void SetTextOf(QWidget* control, const QString& text) {
  if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->setText(text);
  if (auto* multi = qobject_cast<frame::LimitedTextEdit*>(control)) multi->setStoredText(text);
}

void SetChecked(QWidget* root, int controlId, bool checked) {
  auto* button = frame::Control<QAbstractButton>(root, controlId);
  if (!button) return;
  if (checked || !button->isChecked()) {
    button->setChecked(checked);
    return;
  }
  // An exclusive group never lets its checked button go; a kind or
  // salutation that is none of the buttons must still show none of them.
  QButtonGroup* group = button->group();
  const bool groupExclusive = group && group->exclusive();
  const bool autoExclusive = button->autoExclusive();
  if (group) group->setExclusive(false);
  button->setAutoExclusive(false);
  button->setChecked(false);
  button->setAutoExclusive(autoExclusive);
  if (group) group->setExclusive(groupExclusive);
}

bool IsChecked(QWidget* root, int controlId) {
  auto* button = frame::Control<QAbstractButton>(root, controlId);
  return button && button->isChecked();
}

}  // namespace

int AddressFieldLimit(int controlId) {
  if (const TextControl* t = FindText(controlId)) return t->limit;
  switch (controlId) {
    case id::kCashDiscount:
    case id::kPaymentPeriod:
    case id::kCashDiscountPeriod:
    case id::kCopies: return 4;
    case id::kTurnover: return 12;
    default: return 0;
  }
}

QWidget* MakeAddressField(QWidget* parent, int controlId) {
  if (controlId == id::kRemark) return new frame::LimitedTextEdit(parent, controlId, 401);
  return frame::MakeEdit(parent, controlId, AddressFieldLimit(controlId));
}

void ShowAddress(QWidget* root, const store::AddressRecord& address,
                 const store::ParameterRecord& parameters, frame::FigureStyle style) {
  store::AddressRecord copy = address;
  for (const TextControl& t : kTexts)
    if (QWidget* control = frame::FindControl(root, t.id))
      SetTextOf(control, frame::FromCp1252(store::GetText(t.field(copy), t.width)));
  auto setNumber = [root, style](int controlId, const std::string& text) {
    if (auto* edit = frame::Control<QLineEdit>(root, controlId)) {
      // The thousands points of the German style must not cut the figure.
      const int length = static_cast<int>(text.size());
      if (style == frame::FigureStyle::German && edit->maxLength() < length)
        edit->setMaxLength(length);
      edit->setText(QString::fromStdString(text));
    }
  };
  setNumber(id::kCashDiscount, frame::CashDiscountText(address.cashDiscount, style));
  setNumber(id::kPaymentPeriod, frame::Format("%-d", address.paymentPeriod));
  setNumber(id::kCashDiscountPeriod, frame::Format("%-d", address.cashDiscountPeriod));
  setNumber(id::kCopies, frame::Format("%-d", address.copies));
  setNumber(id::kTurnover, TurnoverText(address.turnover, style));
  for (int i = 0; i < 4; ++i) SetChecked(root, id::kKinds[i], address.kind == kKindValues[i]);
  const int salutation = address.salutation & 0x0F;
  for (int i = 0; i < 5; ++i)
    SetChecked(root, id::kSalutations[i], salutation == kSalutationValues[i]);
  SetChecked(root, id::kNoDunning, address.salutation & 32);
  SetChecked(root, id::kDiscountSum, address.salutation & 128);
  SetChecked(root, id::kSendXRechnung, address.salutation & store::kAddressSendXRechnung);
  const char* symbols[] = {parameters.currencySymbol1, parameters.currencySymbol2,
                           parameters.currencySymbol3};
  for (int i = 0; i < 3; ++i) {
    if (auto* button = frame::Control<QAbstractButton>(root, id::kCurrencies[i])) {
      QString symbol = frame::FromCp1252(store::GetText(symbols[i], 4));
      button->setText(symbol.isEmpty() ? QString::number(i + 1) : frame::Verbatim(symbol));
      SetChecked(root, id::kCurrencies[i], address.currency == i);
    }
  }
}

bool TakeAddress(QWidget* root, store::AddressRecord& address, frame::FieldWriter& writer,
                 frame::UserInterface* ui) {
  // The number fields first: one that holds no number stops before anything
  // is taken.
  std::optional<std::int16_t> cashDiscount;
  if (frame::FindControl(root, id::kCashDiscount) &&
      !(cashDiscount = frame::ReadNumberField(root, id::kCashDiscount, "Skonto",
                                              frame::ParseCashDiscount, ui)))
    return false;
  std::optional<std::int32_t> turnover;
  if (frame::FindControl(root, id::kTurnover) &&
      !(turnover = frame::ReadNumberField(root, id::kTurnover, "Umsatz", ParseTurnover, ui)))
    return false;
  for (const TextControl& t : kTexts)
    if (QWidget* control = frame::FindControl(root, t.id))
      writer.write(t.field(address), t.width, TextOf(control), t.limit);
  auto text = [root](int controlId, std::string* out) {
    auto* edit = frame::Control<QLineEdit>(root, controlId);
    if (edit) *out = edit->text().toStdString();
    return edit != nullptr;
  };
  std::string value;
  if (cashDiscount) address.cashDiscount = *cashDiscount;
  if (text(id::kPaymentPeriod, &value)) address.paymentPeriod = frame::ParsePeriod(value);
  if (text(id::kCashDiscountPeriod, &value))
    address.cashDiscountPeriod = frame::ParsePeriod(value);
  if (text(id::kCopies, &value)) address.copies = frame::ParsePeriod(value);
  if (turnover) address.turnover = *turnover;
  // The kind changes only when one of its buttons is checked.
  for (int i = 0; i < 4; ++i)
    if (IsChecked(root, id::kKinds[i])) address.kind = kKindValues[i];
  if (frame::FindControl(root, id::kSalutations[0])) {
    // An option this window has no box for (the cash desk's dialog shows
    // none) keeps its bit, as does the unused bit 64.
    std::uint8_t salutation = address.salutation & 64;
    for (int i = 0; i < 5; ++i)
      if (IsChecked(root, id::kSalutations[i]))
        salutation = static_cast<std::uint8_t>((salutation & 0xF0) | kSalutationValues[i]);
    for (const auto& [control, bit] : {std::pair{id::kSendXRechnung, store::kAddressSendXRechnung},
                                      std::pair{id::kNoDunning, store::kAddressNoDunning},
                                      std::pair{id::kDiscountSum, store::kAddressPrintDiscountSum}}) {
      const bool set = frame::FindControl(root, control) ? IsChecked(root, control)
                                                         : (address.salutation & bit) != 0;
      if (set) salutation |= bit;
    }
    address.salutation = salutation;
  }
  for (int i = 0; i < 3; ++i)
    if (IsChecked(root, id::kCurrencies[i])) address.currency = static_cast<std::uint8_t>(i);
  return true;
}

}  // namespace masterdata
