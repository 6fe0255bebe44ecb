// What the user types as the invoices of one transaction in the statement
// dialog: one invoice number ("126120001"), which takes the whole amount,
// or a split "126120001=50,00; 126120002=69,00" whose amounts add up to
// the transaction's.
#ifndef BELVON_BANK_CHOSEN_PAYMENTS_H
#define BELVON_BANK_CHOSEN_PAYMENTS_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bank/matching.h"

namespace bank {

// The text the dialog shows for a proposal: the allocations of an exact
// match, else the best candidate.
std::string ChoiceText(const MatchResult& match);

// The payments of the text; empty for an empty text (nothing to book).
// None, with a German `error`, for a text that is none of the two forms or
// a split that does not add up. The cash discount of the proposal is kept
// where the text names the proposal's single invoice with its amount.
std::optional<std::vector<Allocation>> ReadChoice(std::string_view text, const Transaction& t,
                                                  const MatchResult& proposal, std::string& error);

}  // namespace bank

#endif  // BELVON_BANK_CHOSEN_PAYMENTS_H
