#include "orders/payments.h"

#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>
#include <limits>
#include <optional>
#include <span>

#include "frame/decimal.h"
#include "frame/user_interface.h"
#include "orders/dates.h"
#include "orders/order_math.h"
#include "store/address_file.h"
#include "store/data_file.h"
#include "store/indexed_file.h"
#include "store/order_file.h"
#include "store/text_field.h"

namespace orders {

namespace {

void Tell(frame::AppState& app, const char* text) {
  if (app.ui) app.ui->message(text, frame::Icon::Stop);
}

// The names of the address the order refers to, read from the file itself:
// the order address is not loaded when the order belongs to the address the
// pane last showed.
bool OrderCustomerNames(frame::AppState& app, store::AddressRecord& names) {
  if (app.order.customerRef == store::kNoCustomer) return false;
  platform::File data = store::OpenData(app, store::kAddressDataName, platform::Access::Read,
                                        platform::Share::DenyWrite);
  std::span<std::uint8_t> bytes(reinterpret_cast<std::uint8_t*>(&names), sizeof names);
  return data &&
         store::ReadFramedRecord(data, static_cast<std::uint32_t>(app.order.customerRef), bytes,
                                 true) > 0;
}

}  // namespace

void SelectOrderCustomer(frame::AppState& app) {
  store::AddressRecord names{}, found{};
  std::int32_t position = -1;
  // A lookup that ends on another address leaves the selection as it was.
  const store::AddressIndexEntry entry = app.addresses.entry;
  std::span<const std::uint8_t> key(reinterpret_cast<const std::uint8_t*>(&names), sizeof names);
  if (OrderCustomerNames(app, names) && store::AddressFile(app).LookupKey(key, position) &&
      store::ReadAddress(app, found, position) &&
      store::GetText(found.name1) == store::GetText(names.name1) &&
      store::GetText(found.name2) == store::GetText(names.name2)) {
    app.address = found;
    app.addresses.position = position;
    return;
  }
  app.addresses.entry = entry;
  Tell(app, "Achtung!\nDie zu diesem Auftrag gehörende Adresse wurde gelöscht !");
}

PaymentForm OpenPaymentForm(const frame::AppState& app) {
  const store::OrderHead& order = app.order;
  PaymentForm form;
  form.orderNumber = frame::Format("%-ld", static_cast<long>(order.orderNumber));
  form.paymentDate = FormatDate(*app.clock);
  form.cashDiscountLabel = frame::Format("%.1f %% Skonto", order.cashDiscount / 10.0);
  form.cashDiscount = DayNumber(form.paymentDate) - DayNumber(store::GetText(order.orderDate)) <
                      order.cashDiscountPeriod;
  if (order.flags & store::kOrderInvoicePrinted)
    form.amount = frame::Format(
        "%-.2f", (static_cast<double>(order.total) - static_cast<double>(order.paid)) / 100.0);
  return form;
}

int BookPayment(frame::AppState& app, const PaymentForm& form) {
  store::OrderHead criteria{};
  criteria.orderNumber = static_cast<std::int32_t>(frame::ParseWhole(form.orderNumber));
  const std::int32_t keptPosition = app.orders.position;
  std::int32_t position = -1;
  if (criteria.orderNumber < 1 || !store::FindOrder(app, criteria, position, true)) {
    app.orders.position = keptPosition;
    Tell(app, "Achtung!\nAuftrag wurde nicht gefunden !");
    return 0;
  }
  {
    // A refused read has already moved the order cursor and the line table:
    // the pane keeps the order it showed.
    const auto cursor = app.orders;
    const std::vector<store::OrderLine> lines = app.orderLines;
    if (!store::ReadOrder(app, app.order, position)) {
      app.orders = cursor;
      app.orderLines = lines;
      return 0;
    }
  }
  app.orders.position = position;
  SelectOrderCustomer(app);

  // The amount booked is exactly what was typed; the cash-discount box only
  // records that the customer deducted it.
  const std::optional<std::int64_t> cents = frame::ReadScaled(form.amount, 2);
  if (!cents) {
    Tell(app, frame::NotANumberMessage("Betrag").c_str());
    return 0;
  }
  // The amount goes onto what the file holds as paid when it is written: a
  // payment another copy booked meanwhile counts, and nothing else of the
  // head is written from memory.
  bool tooLarge = false;
  auto book = [&](store::OrderHead& head) {
    const std::int64_t limit = std::numeric_limits<std::int32_t>::max();
    const std::int64_t paid = (*cents > 2 * limit || *cents < -2 * limit)
                                  ? std::numeric_limits<std::int64_t>::max()
                                  : std::int64_t{head.paid} + *cents;
    if (paid > std::numeric_limits<std::int32_t>::max() ||
        paid < std::numeric_limits<std::int32_t>::min()) {
      tooLarge = true;
      return false;
    }
    head.paid = static_cast<std::int32_t>(paid);
    store::SetText(head.paymentDate, std::string_view(form.paymentDate).substr(0, 10));
    store::SetText(head.account, std::string_view(form.account).substr(0, 8));
    head.cashDiscountTaken = form.cashDiscount ? 1 : 0;
    return true;
  };
  store::OrderHead head{};
  const int booked = store::ChangeOrderHead(app, app.order.orderNumber, book, &head);
  if (tooLarge) Tell(app, "Der Betrag ist zu groß.");
  if (!booked) return 0;
  app.order = head;
  return 1;
}

}  // namespace orders
