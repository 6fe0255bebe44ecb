// What makes a transaction of a statement the same one when it is read
// again, from the same file or from another statement that overlaps it.
//
// The bank's own reference of the booking, where the bank gives one, with
// the account; else the account, booking date, amount, currency,
// counterparty, IBAN, remittance text and end-to-end reference. Two
// transactions alike in all of these on one day are both real (two equal
// transfers of one customer): the second gets the count "#2", so that
// each is counted on its own, and a statement read again gives each the
// same count, since a day is delivered whole.
#ifndef BELVON_BANK_TRANSACTION_IDENTITY_H
#define BELVON_BANK_TRANSACTION_IDENTITY_H

#include <string>
#include <vector>

#include "bank/statement.h"

namespace bank {

// One identity per transaction, in order: 32 hexadecimal digits (the first
// half of the SHA-256 of the identifying fields and the count).
std::vector<std::string> TransactionIdentities(const std::vector<Transaction>& transactions);

}  // namespace bank

#endif  // BELVON_BANK_TRANSACTION_IDENTITY_H
