// One article of ARTIKEL.DAT, byte for byte.
//
// Layout: doc/formats/article-file.md
#ifndef BELVON_STORE_ARTICLE_RECORD_H
#define BELVON_STORE_ARTICLE_RECORD_H

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "store/record_fields.h"

namespace store {

inline constexpr std::size_t kArticleRecordSize = 520;

// Tax class bits of ArticleRecord::flags. The article dialog sets exactly one
// of them and leaves every other bit as it found it.
inline constexpr std::uint8_t kArticleNoTax = 2;
inline constexpr std::uint8_t kArticleTaxRate1 = 4;
inline constexpr std::uint8_t kArticleTaxRate2 = 8;
inline constexpr std::uint8_t kArticleTaxMask = kArticleNoTax | kArticleTaxRate1 | kArticleTaxRate2;
// A new article is taxed at the second rate until someone says otherwise.
inline constexpr std::uint8_t kNewArticleFlags = kArticleTaxRate2;

#pragma pack(push, 1)
// Money in hundredths of the article's currency; texts are zero-terminated
// Windows-1252 in fixed fields (use GetText/SetText).
struct ArticleRecord {
  std::uint16_t length;  // whole record incl. this field; 520 when we write
  char number[22];       // the index key, at most 21 characters
  char designation[42];
  char productGroup[22];
  char remark1[42];
  char remark2[256];  // multi-line; its first word names the picture file
  char supplier[12];
  char unit[8];
  std::int32_t price1;          // base price
  std::int32_t quantityPrice2;  // from this quantity on price2 applies
  std::int32_t price2;
  std::int32_t quantityPrice3;
  std::int32_t price3;
  std::int32_t quantityPrice4;
  std::int32_t price4;
  std::int32_t purchasePrice;
  double stock[6];  // storage places 1..6
  double minimumStock;
  double targetStock;
  std::uint8_t reserved[8];
  double quantityOnOrder;
  std::uint8_t flags;     // kArticleNoTax / kArticleTaxRate1 / kArticleTaxRate2
  std::uint8_t currency;  // currency index 0..2
};
#pragma pack(pop)

static_assert(sizeof(ArticleRecord) == kArticleRecordSize);
static_assert(std::is_trivially_copyable_v<ArticleRecord>);
static_assert(std::is_standard_layout_v<ArticleRecord>);
static_assert(offsetof(ArticleRecord, length) == 0);
static_assert(offsetof(ArticleRecord, number) == 2);
static_assert(offsetof(ArticleRecord, designation) == 24);
static_assert(offsetof(ArticleRecord, productGroup) == 66);
static_assert(offsetof(ArticleRecord, remark1) == 88);
static_assert(offsetof(ArticleRecord, remark2) == 130);
static_assert(offsetof(ArticleRecord, supplier) == 386);
static_assert(offsetof(ArticleRecord, unit) == 398);
static_assert(offsetof(ArticleRecord, price1) == 406);
static_assert(offsetof(ArticleRecord, quantityPrice2) == 410);
static_assert(offsetof(ArticleRecord, price2) == 414);
static_assert(offsetof(ArticleRecord, quantityPrice3) == 418);
static_assert(offsetof(ArticleRecord, price3) == 422);
static_assert(offsetof(ArticleRecord, quantityPrice4) == 426);
static_assert(offsetof(ArticleRecord, price4) == 430);
static_assert(offsetof(ArticleRecord, purchasePrice) == 434);
static_assert(offsetof(ArticleRecord, stock) == 438);
static_assert(offsetof(ArticleRecord, minimumStock) == 486);
static_assert(offsetof(ArticleRecord, targetStock) == 494);
static_assert(offsetof(ArticleRecord, reserved) == 502);
static_assert(offsetof(ArticleRecord, quantityOnOrder) == 510);
static_assert(offsetof(ArticleRecord, flags) == 518);
static_assert(offsetof(ArticleRecord, currency) == 519);

// Every field of ArticleRecord, in offset order.
FieldTable ArticleRecordFields();

}  // namespace store

#endif  // BELVON_STORE_ARTICLE_RECORD_H
