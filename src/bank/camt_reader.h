// CAMT.053 (ISO 20022 "BankToCustomerStatement", versions .001.02 to .001.08)
// read with pugixml.
//
// The elements are found by their local names, whatever namespace prefix
// or version URI the bank writes, because the versions differ only in
// parts we do not read. One entry (Ntry) may carry several transactions
// in NtryDtls/TxDtls (a batch booking): each becomes a transaction of its
// own with the amount of its TxDtls, and the entry's dates, reference and
// sign. An entry without details is one transaction.
#ifndef BELVON_BANK_CAMT_READER_H
#define BELVON_BANK_CAMT_READER_H

#include <string>
#include <string_view>

#include "bank/statement.h"

namespace bank {

// Whether `bytes` look like a CAMT.053 document (an XML document whose
// root holds BkToCstmrStmt).
bool LooksLikeCamt(std::string_view bytes);

// Appends the transactions of one CAMT.053 document. False, with `error`
// set (German) and `statement` unchanged, when it is no such document or
// an amount or date cannot be read.
bool ReadCamt(std::string_view bytes, Statement& statement, std::string& error);

}  // namespace bank

#endif  // BELVON_BANK_CAMT_READER_H
