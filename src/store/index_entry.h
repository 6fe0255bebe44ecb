// The entries of the three index files ARTIKEL.IDX, KUNDEN.IDX and
// RECHNUNG.IDX, byte for byte. Each index file is a header (the last index:
// number of entries minus one, -1 when empty) followed by these entries.
//
// Layout: doc/formats/index-files.md
#ifndef BELVON_STORE_INDEX_ENTRY_H
#define BELVON_STORE_INDEX_ENTRY_H

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "store/record_fields.h"

namespace store {

inline constexpr std::size_t kArticleIndexEntrySize = 26;
inline constexpr std::size_t kAddressIndexEntrySize = 46;
inline constexpr std::size_t kOrderIndexEntrySize = 12;

// Width of the header in front of the entries: the article index counts in
// 32 bits, the address and order indexes only in 16.
inline constexpr std::size_t kArticleIndexHeaderSize = 4;
inline constexpr std::size_t kAddressIndexHeaderSize = 2;
inline constexpr std::size_t kOrderIndexHeaderSize = 2;

#pragma pack(push, 1)
struct ArticleIndexEntry {
  char key[22];          // the article number, zero-terminated
  std::uint32_t offset;  // of the ArticleRecord in ARTIKEL.DAT
};

struct AddressIndexEntry {
  char key[42];          // name line 2 of the address, zero-terminated
  std::uint32_t offset;  // of the AddressRecord in KUNDEN.DAT
};

struct OrderIndexEntry {
  std::uint32_t customerRef;  // equal to the head's customer reference
  std::int32_t orderNumber;   // the sort key, compared signed
  std::uint32_t offset;       // of the OrderHead in RECHNUNG.DAT
};
#pragma pack(pop)

static_assert(sizeof(ArticleIndexEntry) == kArticleIndexEntrySize);
static_assert(std::is_trivially_copyable_v<ArticleIndexEntry>);
static_assert(std::is_standard_layout_v<ArticleIndexEntry>);
static_assert(offsetof(ArticleIndexEntry, key) == 0);
static_assert(offsetof(ArticleIndexEntry, offset) == 22);

static_assert(sizeof(AddressIndexEntry) == kAddressIndexEntrySize);
static_assert(std::is_trivially_copyable_v<AddressIndexEntry>);
static_assert(std::is_standard_layout_v<AddressIndexEntry>);
static_assert(offsetof(AddressIndexEntry, key) == 0);
static_assert(offsetof(AddressIndexEntry, offset) == 42);

static_assert(sizeof(OrderIndexEntry) == kOrderIndexEntrySize);
static_assert(std::is_trivially_copyable_v<OrderIndexEntry>);
static_assert(std::is_standard_layout_v<OrderIndexEntry>);
static_assert(offsetof(OrderIndexEntry, customerRef) == 0);
static_assert(offsetof(OrderIndexEntry, orderNumber) == 4);
static_assert(offsetof(OrderIndexEntry, offset) == 8);

// Every field of each entry, in offset order.
FieldTable ArticleIndexEntryFields();
FieldTable AddressIndexEntryFields();
FieldTable OrderIndexEntryFields();

}  // namespace store

#endif  // BELVON_STORE_INDEX_ENTRY_H
