// Which open invoice a transaction of the statement pays.
//
// In this order: an invoice number named in the remittance text or the
// end-to-end reference; then the exact open amount (or the open amount
// less the cash discount, paid within the discount period by the booking
// date) together with the customer's name. A credit that names exactly one
// open invoice is booked on it whatever its amount, as "Zahlungseingang"
// books a part or an over-payment; several named invoices are booked
// together when the transfer pays all of them exactly. A debit is matched
// only to an open credit note, as its refund. What none of these decide is
// proposed (candidates ranked by amount, name and date) or not found. Only
// issued invoices, credit notes and collective invoices are open items: a
// quotation, a delivery note or an order that was never issued is never
// booked, even when the transfer names its number.
#ifndef BELVON_BANK_MATCHING_H
#define BELVON_BANK_MATCHING_H

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "bank/statement.h"
#include "store/order_record.h"

namespace bank {

// An issued invoice, credit note or collective invoice with its order head
// as the order file holds it.
struct OpenItem {
  store::OrderHead head{};
  std::uint8_t kind = 0;  // store::kIssued*
  std::string currency;   // ISO 4217 code of the invoice's currency
  std::string customer;   // the customer's name as issued (UTF-8)
};

// What the book of one run knows: the issued items and the numbers of
// orders that exist without being issued.
struct Ledger {
  std::vector<OpenItem> items;
  std::unordered_set<std::int32_t> unissued;
};

enum class Action { Booked, Proposed, Unmatched, Already };

// One payment on one order: `cents` as typed into "Zahlungseingang"
// (negative: a refund), with the cash-discount box ticked or not.
struct Allocation {
  std::int32_t order = 0;
  std::int64_t cents = 0;
  bool cashDiscount = false;
  bool operator==(const Allocation&) const = default;
};

struct MatchResult {
  Action action = Action::Unmatched;
  std::vector<Allocation> allocations;    // Booked: what is booked
  std::vector<std::int32_t> candidates;   // Proposed: ranked, best first
  std::vector<std::int32_t> notIssued;    // numbers named that are no issued invoice
  std::string reason;                     // German, for the list
  bool cashDiscount() const {
    for (const Allocation& a : allocations)
      if (a.cashDiscount) return true;
    return false;
  }
};

// The matching of a whole statement against one ledger.
class Matcher {
 public:
  explicit Matcher(Ledger ledger);

  // The result for the next transaction. A transaction booked here counts
  // as paid for the transactions after it (two transfers on one invoice
  // in one statement).
  MatchResult match(const Transaction& transaction);

  // The item of an order number; nullptr when it is no issued item.
  const OpenItem* item(std::int32_t number) const;

 private:
  MatchResult credit(const Transaction& t);
  MatchResult debit(const Transaction& t);
  std::vector<std::size_t> mentioned(const Transaction& t, std::vector<std::int32_t>& notIssued) const;
  std::vector<std::int32_t> ranked(const Transaction& t, bool credits) const;
  bool nameFits(const OpenItem& item, const std::vector<std::string>& tokens) const;
  void apply(const MatchResult& result);

  Ledger ledger_;
  std::unordered_map<std::int32_t, std::size_t> byNumber_;
  std::unordered_map<std::int32_t, std::vector<std::size_t>> bySequence_;  // month + sequence
  std::unordered_multimap<std::int64_t, std::size_t> byAmount_;  // open, and open less discount
  std::unordered_map<std::string, std::vector<std::size_t>> byToken_;
  std::vector<std::vector<std::string>> tokens_;  // per item
};

// Open amount of an item: what is still to be paid (negative on a credit
// note: what is still to be refunded).
std::int64_t OpenAmount(const store::OrderHead& head);

// The words of a name that tell customers apart: folded, at least three
// letters, no legal form or salutation.
std::vector<std::string> NameTokens(std::string_view utf8);

}  // namespace bank

#endif  // BELVON_BANK_MATCHING_H
