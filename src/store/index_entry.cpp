#include "store/index_entry.h"

namespace store {

FieldTable ArticleIndexEntryFields() {
  static constexpr FieldDescriptor kFields[] = {
      BELVON_FIELD(ArticleIndexEntry, key, "key", Text),
      BELVON_FIELD(ArticleIndexEntry, offset, "record_offset", U32),
  };
  return kFields;
}

FieldTable AddressIndexEntryFields() {
  static constexpr FieldDescriptor kFields[] = {
      BELVON_FIELD(AddressIndexEntry, key, "key", Text),
      BELVON_FIELD(AddressIndexEntry, offset, "record_offset", U32),
  };
  return kFields;
}

FieldTable OrderIndexEntryFields() {
  static constexpr FieldDescriptor kFields[] = {
      BELVON_FIELD(OrderIndexEntry, customerRef, "customer_ref", U32),
      BELVON_FIELD(OrderIndexEntry, orderNumber, "order_number", I32),
      BELVON_FIELD(OrderIndexEntry, offset, "record_offset", U32),
  };
  return kFields;
}

}  // namespace store
