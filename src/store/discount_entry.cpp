#include "store/discount_entry.h"

namespace store {

FieldTable DiscountEntryFields() {
  static constexpr FieldDescriptor kFields[] = {
      BELVON_FIELD(DiscountEntry, customerRef, "customer_ref", I32),
      BELVON_FIELD(DiscountEntry, articleRef, "article_ref", I32),
      BELVON_FIELD(DiscountEntry, discount, "discount", I16),
  };
  return kFields;
}

}  // namespace store
