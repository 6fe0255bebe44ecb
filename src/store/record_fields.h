// Field tables of the record layouts.
//
// Every packed record struct publishes a table of its fields (name, offset,
// width, kind). The tables drive `belvon-cli dump`, whose snake_case names are
// a stable contract for scripts, and let tests check that a table and its
// struct agree.
#ifndef BELVON_STORE_RECORD_FIELDS_H
#define BELVON_STORE_RECORD_FIELDS_H

#include <cstddef>
#include <cstdint>
#include <span>

namespace store {

enum class FieldKind {
  Text,     // zero-terminated Windows-1252 text in a fixed field
  U8,
  U16,
  I16,
  U32,
  I32,
  F32,
  F64,
  Reserved, // bytes without meaning, not dumped
};

struct FieldDescriptor {
  const char* name;   // snake_case, stable
  std::size_t offset; // from the start of the record
  std::size_t width;  // bytes in all; an array of `count` elements
  FieldKind kind;
  std::size_t count;  // 1 for a scalar or text, n for an array of numbers
};

using FieldTable = std::span<const FieldDescriptor>;

}  // namespace store

// BELVON_FIELD(ArticleRecord, designation, "designation", Text): a table row
// taken from the struct itself, so the offsets cannot drift from the layout.
#define BELVON_FIELD(Type, member, name, kind)                                         \
  ::store::FieldDescriptor {                                                          \
    name, offsetof(Type, member), sizeof(Type::member), ::store::FieldKind::kind,    \
        ::store::detail::ElementCount(sizeof(Type::member), ::store::FieldKind::kind) \
  }

namespace store::detail {
constexpr std::size_t ElementWidth(FieldKind kind) {
  switch (kind) {
    case FieldKind::U8: return 1;
    case FieldKind::U16:
    case FieldKind::I16: return 2;
    case FieldKind::U32:
    case FieldKind::I32:
    case FieldKind::F32: return 4;
    case FieldKind::F64: return 8;
    default: return 0;
  }
}
constexpr std::size_t ElementCount(std::size_t width, FieldKind kind) {
  std::size_t element = ElementWidth(kind);
  return element == 0 ? 1 : width / element;
}
}  // namespace store::detail

#endif  // BELVON_STORE_RECORD_FIELDS_H
