// One entry of RABATT.DAT, the customer/article discount memory.
//
// Layout: doc/formats/discount-file.md
#ifndef BELVON_STORE_DISCOUNT_ENTRY_H
#define BELVON_STORE_DISCOUNT_ENTRY_H

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "store/record_fields.h"

namespace store {

inline constexpr std::size_t kDiscountEntrySize = 10;

#pragma pack(push, 1)
struct DiscountEntry {
  std::int32_t customerRef;  // offset of the AddressRecord in KUNDEN.DAT
  std::int32_t articleRef;   // offset of the ArticleRecord in ARTIKEL.DAT, -1 = no article
  std::int16_t discount;     // tenths of a percent, never 0 in the file
};
#pragma pack(pop)

static_assert(sizeof(DiscountEntry) == kDiscountEntrySize);
static_assert(std::is_trivially_copyable_v<DiscountEntry>);
static_assert(std::is_standard_layout_v<DiscountEntry>);
static_assert(offsetof(DiscountEntry, customerRef) == 0);
static_assert(offsetof(DiscountEntry, articleRef) == 4);
static_assert(offsetof(DiscountEntry, discount) == 8);

// Every field of DiscountEntry, in offset order.
FieldTable DiscountEntryFields();

}  // namespace store

#endif  // BELVON_STORE_DISCOUNT_ENTRY_H
