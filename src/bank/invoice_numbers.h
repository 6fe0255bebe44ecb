// The invoice numbers a payer wrote into a transfer.
//
// Our invoices and the GiroCode ask for "Rechnung 126120001": a number of
// the month rule is year - 1900, month and a four-digit sequence. Payers
// shorten and lengthen the year: "26120001" and "2026120001" name the same
// invoice. Counter numbers (the "+1" setting) stand as they are. Only whole
// runs of digits count, so an IBAN, an amount or a postcode never yields a
// part that happens to look like a number; a run of fewer than five digits
// and the month-and-sequence form without any year ("120001") count only
// right after a word such as "Rechnung", "Rg", "RE", "Nr" or "Invoice".
#ifndef BELVON_BANK_INVOICE_NUMBERS_H
#define BELVON_BANK_INVOICE_NUMBERS_H

#include <cstdint>
#include <string_view>
#include <vector>

namespace bank {

struct NumberMention {
  std::int64_t value = 0;  // as written, digits only
  int digits = 0;
  bool afterKeyword = false;
};

// Every run of digits in `text`, in order, with what stands before it.
std::vector<NumberMention> NumberMentions(std::string_view text);

// The order numbers a mention may mean, full form first: the number
// itself, or the month-rule number its shortened or lengthened year gives.
// The month-and-sequence form is left to the caller, who knows the open
// invoices (MentionedSequence).
std::vector<std::int32_t> NumbersMeant(const NumberMention& mention);

// A six-digit month-and-sequence after a keyword ("Rechnung 120001"), else -1.
std::int32_t MentionedSequence(const NumberMention& mention);

}  // namespace bank

#endif  // BELVON_BANK_INVOICE_NUMBERS_H
