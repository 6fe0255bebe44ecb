#include "store/article_record.h"

namespace store {

FieldTable ArticleRecordFields() {
  static constexpr FieldDescriptor kFields[] = {
      BELVON_FIELD(ArticleRecord, length, "length", U16),
      BELVON_FIELD(ArticleRecord, number, "number", Text),
      BELVON_FIELD(ArticleRecord, designation, "designation", Text),
      BELVON_FIELD(ArticleRecord, productGroup, "product_group", Text),
      BELVON_FIELD(ArticleRecord, remark1, "remark_1", Text),
      BELVON_FIELD(ArticleRecord, remark2, "remark_2", Text),
      BELVON_FIELD(ArticleRecord, supplier, "supplier", Text),
      BELVON_FIELD(ArticleRecord, unit, "unit", Text),
      BELVON_FIELD(ArticleRecord, price1, "price_1", I32),
      BELVON_FIELD(ArticleRecord, quantityPrice2, "quantity_price_2", I32),
      BELVON_FIELD(ArticleRecord, price2, "price_2", I32),
      BELVON_FIELD(ArticleRecord, quantityPrice3, "quantity_price_3", I32),
      BELVON_FIELD(ArticleRecord, price3, "price_3", I32),
      BELVON_FIELD(ArticleRecord, quantityPrice4, "quantity_price_4", I32),
      BELVON_FIELD(ArticleRecord, price4, "price_4", I32),
      BELVON_FIELD(ArticleRecord, purchasePrice, "purchase_price", I32),
      BELVON_FIELD(ArticleRecord, stock, "stock", F64),
      BELVON_FIELD(ArticleRecord, minimumStock, "minimum_stock", F64),
      BELVON_FIELD(ArticleRecord, targetStock, "target_stock", F64),
      BELVON_FIELD(ArticleRecord, reserved, "reserved_502", Reserved),
      BELVON_FIELD(ArticleRecord, quantityOnOrder, "quantity_on_order", F64),
      BELVON_FIELD(ArticleRecord, flags, "flags", U8),
      BELVON_FIELD(ArticleRecord, currency, "currency", U8),
  };
  return kFields;
}

}  // namespace store
