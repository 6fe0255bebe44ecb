#include "store/order_record.h"

namespace store {

FieldTable OrderHeadFields() {
  static constexpr FieldDescriptor kFields[] = {
      BELVON_FIELD(OrderHead, length, "length", U16),
      BELVON_FIELD(OrderHead, customerRef, "customer_ref", I32),
      BELVON_FIELD(OrderHead, orderNumber, "order_number", I32),
      BELVON_FIELD(OrderHead, orderDate, "order_date", Text),
      BELVON_FIELD(OrderHead, flags, "flags", U16),
      BELVON_FIELD(OrderHead, lineCount, "line_count", I16),
      BELVON_FIELD(OrderHead, paymentPeriod, "payment_period", I16),
      BELVON_FIELD(OrderHead, cashDiscount, "cash_discount", I16),
      BELVON_FIELD(OrderHead, cashDiscountPeriod, "cash_discount_period", I16),
      BELVON_FIELD(OrderHead, total, "total", I32),
      BELVON_FIELD(OrderHead, paid, "paid", I32),
      BELVON_FIELD(OrderHead, paymentDate, "payment_date", Text),
      BELVON_FIELD(OrderHead, cashDiscountTaken, "cash_discount_taken", U16),
      BELVON_FIELD(OrderHead, stored, "stored", U16),
      BELVON_FIELD(OrderHead, account, "account", Text),
      BELVON_FIELD(OrderHead, invoiceDate, "invoice_date", Text),
      BELVON_FIELD(OrderHead, dunningLevel, "dunning_level", U8),
      BELVON_FIELD(OrderHead, currency, "currency", U8),
  };
  return kFields;
}

FieldTable OrderLineFields() {
  static constexpr FieldDescriptor kFields[] = {
      BELVON_FIELD(OrderLine, length, "length", U16),
      BELVON_FIELD(OrderLine, quantity, "quantity", F64),
      BELVON_FIELD(OrderLine, articleNumber, "article_number", Text),
      BELVON_FIELD(OrderLine, description1, "description_1", Text),
      BELVON_FIELD(OrderLine, description2, "description_2", Text),
      BELVON_FIELD(OrderLine, longText, "long_text", Text),
      BELVON_FIELD(OrderLine, unit, "unit", Text),
      BELVON_FIELD(OrderLine, salePrice, "sale_price", I32),
      BELVON_FIELD(OrderLine, costPrice, "cost_price", I32),
      BELVON_FIELD(OrderLine, discount, "discount", I16),
      BELVON_FIELD(OrderLine, taxCode, "tax_code", I16),
      BELVON_FIELD(OrderLine, articleRef, "article_ref", I32),
      BELVON_FIELD(OrderLine, orderNumber, "order_number", I32),
      BELVON_FIELD(OrderLine, flags, "flags", U16),
  };
  return kFields;
}

}  // namespace store
