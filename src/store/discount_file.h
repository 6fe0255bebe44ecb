// "RABATT.DAT": the discount last given to a customer on an article.
// Entries are only appended; the one nearest the end of the file counts.
// Layout: doc/formats/discount-file.md.
#ifndef BELVON_STORE_DISCOUNT_FILE_H
#define BELVON_STORE_DISCOUNT_FILE_H

#include <cstdint>

#include "store/app_state.h"
#include "store/order_record.h"

namespace store {

// The discount (tenths of a percent) of the newest entry for the pair, or 0.
std::int16_t LookupDiscount(frame::AppState& app, std::int32_t customerRef,
                            std::int32_t articleRef);

// Appends the line's discount for the current customer and the line's
// article; a discount of 0 and a line without article are never written.
// Returns 1, or 0 when the file could not be written.
int AppendDiscount(frame::AppState& app, const OrderLine& line);

// Every entry that refers to `oldRef` gets `newRef`, in place; `changed`,
// when given, is set once anything was written.
int RewriteArticleReference(frame::AppState& app, std::int32_t oldRef, std::int32_t newRef,
                            bool* changed = nullptr);
int RewriteCustomerReference(frame::AppState& app, std::int32_t oldRef, std::int32_t newRef,
                             bool* changed = nullptr);

}  // namespace store

#endif  // BELVON_STORE_DISCOUNT_FILE_H
