#include "store/address_record.h"

namespace store {

std::span<char> DeliveryLine(AddressRecord& address, int line) {
  switch (line) {
    case 1:
      return address.deliveryLine1;
    case 2:
      return address.deliveryLine2;
    case 3:
      return address.deliveryLine3;
    case 4:
      return address.deliveryLine4;
    case 5:
      return address.deliveryLine5;
    case 6:
      return address.deliveryLine6;
    case 7:
      return address.deliveryLine7;
    default:
      return {};
  }
}

std::span<const char> DeliveryLine(const AddressRecord& address, int line) {
  return DeliveryLine(const_cast<AddressRecord&>(address), line);
}

FieldTable AddressRecordFields() {
  static constexpr FieldDescriptor kFields[] = {
      BELVON_FIELD(AddressRecord, length, "length", U16),
      BELVON_FIELD(AddressRecord, kind, "kind", U16),
      BELVON_FIELD(AddressRecord, customerNumber, "customer_number", Text),
      BELVON_FIELD(AddressRecord, name1, "name_1", Text),
      BELVON_FIELD(AddressRecord, name2, "name_2", Text),
      BELVON_FIELD(AddressRecord, name3, "name_3", Text),
      BELVON_FIELD(AddressRecord, street, "street", Text),
      BELVON_FIELD(AddressRecord, town, "town", Text),
      BELVON_FIELD(AddressRecord, phone, "phone", Text),
      BELVON_FIELD(AddressRecord, mobile, "mobile", Text),
      BELVON_FIELD(AddressRecord, fax, "fax", Text),
      BELVON_FIELD(AddressRecord, email, "email", Text),
      BELVON_FIELD(AddressRecord, reserved, "reserved_332", Reserved),
      BELVON_FIELD(AddressRecord, remark, "remark", Text),
      BELVON_FIELD(AddressRecord, vatId, "vat_id", Text),
      BELVON_FIELD(AddressRecord, dispatch, "dispatch", Text),
      BELVON_FIELD(AddressRecord, appointment, "appointment", Text),
      BELVON_FIELD(AddressRecord, firstContact, "first_contact", Text),
      BELVON_FIELD(AddressRecord, lastOrder, "last_order", Text),
      BELVON_FIELD(AddressRecord, cashDiscount, "cash_discount", I16),
      BELVON_FIELD(AddressRecord, paymentPeriod, "payment_period", I16),
      BELVON_FIELD(AddressRecord, cashDiscountPeriod, "cash_discount_period", I16),
      BELVON_FIELD(AddressRecord, turnover, "turnover", I32),
      BELVON_FIELD(AddressRecord, salutation, "salutation", U8),
      BELVON_FIELD(AddressRecord, currency, "currency", U8),
      BELVON_FIELD(AddressRecord, copies, "copies", I16),
      BELVON_FIELD(AddressRecord, deliveryLine1, "delivery_line_1", Text),
      BELVON_FIELD(AddressRecord, deliveryLine2, "delivery_line_2", Text),
      BELVON_FIELD(AddressRecord, deliveryLine3, "delivery_line_3", Text),
      BELVON_FIELD(AddressRecord, deliveryLine4, "delivery_line_4", Text),
      BELVON_FIELD(AddressRecord, deliveryLine5, "delivery_line_5", Text),
      BELVON_FIELD(AddressRecord, deliveryLine6, "delivery_line_6", Text),
      BELVON_FIELD(AddressRecord, deliveryLine7, "delivery_line_7", Text),
  };
  return kFields;
}

}  // namespace store
