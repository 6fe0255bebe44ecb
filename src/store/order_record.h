// An order of RECHNUNG.DAT: an 80-byte head followed by one 402-byte record
// per line, each length-prefixed, byte for byte.
//
// Layout: doc/formats/order-file.md
#ifndef BELVON_STORE_ORDER_RECORD_H
#define BELVON_STORE_ORDER_RECORD_H

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "store/record_fields.h"

namespace store {

inline constexpr std::size_t kOrderHeadSize = 80;
inline constexpr std::size_t kOrderLineSize = 402;
// The line table in memory has 370 slots; slot 0 is the line being edited,
// so an order holds at most 369 lines.
inline constexpr std::size_t kOrderLineSlots = 370;
inline constexpr std::size_t kMaxOrderLines = kOrderLineSlots - 1;

// A head is only taken as readable when this byte (the first point of the
// order date "dd.mm.yyyy") is '.'.
inline constexpr std::size_t kOrderDatePointOffset = 12;

// OrderHead::flags.
inline constexpr std::uint16_t kOrderQuotationPrinted = 1;
inline constexpr std::uint16_t kOrderDeliveryNotePrinted = 2;
inline constexpr std::uint16_t kOrderInvoicePrinted = 4;
inline constexpr std::uint16_t kOrderBooked = 8;
inline constexpr std::uint16_t kOrderHasBackOrder = 16;
inline constexpr std::uint16_t kOrderConfirmationPrinted = 32;
inline constexpr std::uint16_t kOrderCostEstimatePrinted = 64;
inline constexpr std::uint16_t kOrderPricesIncludeTax = 128;
inline constexpr std::uint16_t kOrderGrossAsNet = 256;

// OrderLine::flags.
inline constexpr std::uint16_t kLineSpecialPrice = 1;
inline constexpr std::uint16_t kLineBackOrder = 2;
inline constexpr std::uint16_t kLineBooked = 4;
inline constexpr std::uint16_t kLineNotInInvoiceRegister = 8;

// OrderLine::taxCode.
inline constexpr std::int16_t kTaxCodeNone = 1;
inline constexpr std::int16_t kTaxCodeRate1 = 7;
inline constexpr std::int16_t kTaxCodeRate2 = 15;

// A customer reference of -1 marks an order whose address was deleted.
inline constexpr std::int32_t kNoCustomer = -1;

#pragma pack(push, 1)
// Money in hundredths of the order's currency; texts zero-terminated
// Windows-1252 in fixed fields (GetText/SetText).
struct OrderHead {
  std::uint16_t length;      // 80
  std::int32_t customerRef;  // offset of the AddressRecord in KUNDEN.DAT, kNoCustomer
  std::int32_t orderNumber;  // also the invoice number
  char orderDate[12];        // "dd.mm.yyyy"
  std::uint16_t flags;       // kOrder*
  std::int16_t lineCount;
  std::int16_t paymentPeriod;       // days
  std::int16_t cashDiscount;        // tenths of a percent
  std::int16_t cashDiscountPeriod;  // days
  std::int32_t total;               // as last computed
  std::int32_t paid;
  char paymentDate[12];             // date of the last payment
  std::uint16_t cashDiscountTaken;  // 1 when the payment was booked with cash discount
  std::uint16_t stored;             // 0 until the order is first stored, then 1
  char account[10];                 // account of the payment, at most 8 characters
  char invoiceDate[12];             // set when the invoice is printed
  std::uint8_t dunningLevel;
  std::uint8_t currency;  // currency index 0..3
};

struct OrderLine {
  std::uint16_t length;  // 402
  double quantity;
  char articleNumber[22];  // copy of the article's number
  char description1[42];
  char description2[42];
  char longText[256];
  char unit[8];
  std::int32_t salePrice;    // per unit, in the order's currency
  std::int32_t costPrice;    // per unit
  std::int16_t discount;     // tenths of a percent
  std::int16_t taxCode;      // kTaxCodeNone / kTaxCodeRate1 / kTaxCodeRate2
  std::int32_t articleRef;   // offset of the ArticleRecord in ARTIKEL.DAT; < 0 = none
  std::int32_t orderNumber;  // number of the order the line belongs to
  std::uint16_t flags;       // kLine*
};
#pragma pack(pop)

static_assert(sizeof(OrderHead) == kOrderHeadSize);
static_assert(std::is_trivially_copyable_v<OrderHead>);
static_assert(std::is_standard_layout_v<OrderHead>);
static_assert(offsetof(OrderHead, length) == 0);
static_assert(offsetof(OrderHead, customerRef) == 2);
static_assert(offsetof(OrderHead, orderNumber) == 6);
static_assert(offsetof(OrderHead, orderDate) == 10);
static_assert(offsetof(OrderHead, flags) == 22);
static_assert(offsetof(OrderHead, lineCount) == 24);
static_assert(offsetof(OrderHead, paymentPeriod) == 26);
static_assert(offsetof(OrderHead, cashDiscount) == 28);
static_assert(offsetof(OrderHead, cashDiscountPeriod) == 30);
static_assert(offsetof(OrderHead, total) == 32);
static_assert(offsetof(OrderHead, paid) == 36);
static_assert(offsetof(OrderHead, paymentDate) == 40);
static_assert(offsetof(OrderHead, cashDiscountTaken) == 52);
static_assert(offsetof(OrderHead, stored) == 54);
static_assert(offsetof(OrderHead, account) == 56);
static_assert(offsetof(OrderHead, invoiceDate) == 66);
static_assert(offsetof(OrderHead, dunningLevel) == 78);
static_assert(offsetof(OrderHead, currency) == 79);
static_assert(offsetof(OrderHead, orderDate) + 2 == kOrderDatePointOffset);

static_assert(sizeof(OrderLine) == kOrderLineSize);
static_assert(std::is_trivially_copyable_v<OrderLine>);
static_assert(std::is_standard_layout_v<OrderLine>);
static_assert(offsetof(OrderLine, length) == 0);
static_assert(offsetof(OrderLine, quantity) == 2);
static_assert(offsetof(OrderLine, articleNumber) == 10);
static_assert(offsetof(OrderLine, description1) == 32);
static_assert(offsetof(OrderLine, description2) == 74);
static_assert(offsetof(OrderLine, longText) == 116);
static_assert(offsetof(OrderLine, unit) == 372);
static_assert(offsetof(OrderLine, salePrice) == 380);
static_assert(offsetof(OrderLine, costPrice) == 384);
static_assert(offsetof(OrderLine, discount) == 388);
static_assert(offsetof(OrderLine, taxCode) == 390);
static_assert(offsetof(OrderLine, articleRef) == 392);
static_assert(offsetof(OrderLine, orderNumber) == 396);
static_assert(offsetof(OrderLine, flags) == 400);

// Every field of the head and of a line, in offset order.
FieldTable OrderHeadFields();
FieldTable OrderLineFields();

}  // namespace store

#endif  // BELVON_STORE_ORDER_RECORD_H
