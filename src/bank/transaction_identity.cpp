#include "bank/transaction_identity.h"

#include <unordered_map>

#include "core/sha256.h"

namespace bank {

std::vector<std::string> TransactionIdentities(const std::vector<Transaction>& transactions) {
  std::vector<std::string> identities;
  identities.reserve(transactions.size());
  std::unordered_map<std::string, int> seen;
  for (const Transaction& t : transactions) {
    // Fields joined with a separator no field holds (a unit separator).
    const char s = '\x1f';
    std::string key = t.account + s;
    if (!t.bankReference.empty())
      key += "R" + std::string(1, s) + t.bankReference;
    else
      key += "T" + std::string(1, s) + t.bookingDate + s + std::to_string(t.cents) + s +
             t.currency + s + t.name + s + t.iban + s + t.text + s + t.endToEnd;
    const int count = ++seen[key];
    key += s + std::to_string(count);
    identities.push_back(frame::HexDigest(frame::Sha256Of(key)).substr(0, 32));
  }
  return identities;
}

}  // namespace bank
