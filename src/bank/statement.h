// One bank statement as the program reads it, whatever file it came in:
// the transactions (turnovers) of one or more accounts and days.
#ifndef BELVON_BANK_STATEMENT_H
#define BELVON_BANK_STATEMENT_H

#include <cstdint>
#include <string>
#include <vector>

namespace bank {

// Texts are UTF-8. Dates "dd.mm.yyyy".
struct Transaction {
  std::string bookingDate;
  std::string valueDate;
  std::int64_t cents = 0;     // signed: a credit is positive, a debit negative
  std::string currency;       // ISO 4217 ("EUR")
  std::string name;           // the counterparty (payer of a credit, payee of a debit)
  std::string iban;           // the counterparty's account
  std::string text;           // remittance information, lines joined by blanks
  std::string endToEnd;       // the payer's end-to-end reference ("NOTPROVIDED" dropped)
  std::string bankReference;  // the bank's own reference of the booking, when it gives one
  std::string account;        // the statement's own account (IBAN or account number)
  bool reversal = false;      // the bank reverses an earlier booking (a returned debit)
};

struct Statement {
  std::vector<Transaction> transactions;
};

// What a statement file was read as.
enum class StatementFormat { Unknown, Camt053, Mt940 };

}  // namespace bank

#endif  // BELVON_BANK_STATEMENT_H
