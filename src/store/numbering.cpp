#include "store/numbering.h"

#include <cstdio>
#include <string>

#include "store/load_parameters.h"
#include "store/parameter_file.h"
#include "core/dates.h"
#include "store/text_field.h"
#include "core/user_interface.h"

namespace orders {

std::uint32_t MonthPrefix(int year, int month) {
  return static_cast<std::uint32_t>((year - 1900) * 100 + month);
}

std::uint32_t ApplyMonthRule(frame::AppState& app, std::uint32_t counter) {
  if (app.parameters.plusOneNumbering) return counter;
  platform::LocalTime today = app.clock->now();
  const std::uint32_t prefix = MonthPrefix(today.year, today.month);
  char digits[24];
  std::snprintf(digits, sizeof digits, "%-ld", static_cast<long>(counter));
  bool ask = std::string(digits).size() <= 4 || counter / 10000 < prefix;
  if (!ask) return counter;
  char text[96];
  std::snprintf(text, sizeof text, "Soll die Rechnungsnummer auf Monat %d umgeschaltet werden ?",
                today.month);
  if (app.ui && app.ui->question(text, frame::Icon::Question, true))
    return frame::FirstOrderNumberOfMonth(today.year, today.month);
  return counter;
}

store::OrderHead NewOrderHead(frame::AppState& app) {
  store::OrderHead head{};
  head.paymentPeriod = app.address.paymentPeriod;
  head.cashDiscount = app.address.cashDiscount;
  head.cashDiscountPeriod = app.address.cashDiscountPeriod;
  head.currency = app.address.currency;
  frame::LoadParameters(app);
  head.orderNumber = static_cast<std::int32_t>(app.nextOrderNumber);
  head.customerRef = static_cast<std::int32_t>(app.addresses.entry.offset);
  if (app.parameters.grossPrices) head.flags |= store::kOrderPricesIncludeTax;
  if (app.parameters.grossAsNet) head.flags |= store::kOrderGrossAsNet;
  store::SetText(head.orderDate, FormatDate(*app.clock));
  return head;
}

}  // namespace orders
