// The cash discount ("Skonto") a customer deducts when he pays within its
// period. The discount settles the invoice: it is counted into the paid
// figure together with the payment, and the journal takes it off net and tax
// of every tax class in proportion, as the tax law treats a discount granted
// afterwards, so that its row still adds up to the cent.
#ifndef BELVON_ORDERS_CASH_DISCOUNT_H
#define BELVON_ORDERS_CASH_DISCOUNT_H

#include <cstdint>
#include <span>

namespace orders {

// The discount on an invoice of `gross` cents at `rate` tenths of a percent:
// gross x rate / 1000, rounded half away from zero in whole cents (exact
// integer arithmetic; a credit note gets a negative discount).
std::int64_t CashDiscountAmount(std::int64_t gross, int rate);

// Takes `discount` off the parts of an invoice (net and tax of each class),
// each part losing its share in proportion to its size. The shares are cut
// to whole cents and the cents left over go to the parts whose shares lost
// the most, so the parts add up to their old sum minus the discount exactly.
void ShareCashDiscount(std::span<std::int64_t> parts, std::int64_t discount);

}  // namespace orders

#endif  // BELVON_ORDERS_CASH_DISCOUNT_H
