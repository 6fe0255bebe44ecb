// The booking batch ("Buchungsstapel", EXTF category 21, format version 13)
// handed to the tax adviser: one row per issued invoice or credit note and
// tax class, from the figures its record of issue states, the debtor
// against the revenue account of the rate; and, when asked for, the
// payments of the period, bank or cash against the debtor.
//
// Columns and the meaning of each field: doc/formats/datev.md
#ifndef BELVON_DATEV_BOOKING_BATCH_H
#define BELVON_DATEV_BOOKING_BATCH_H

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "datev/datev_settings.h"
#include "datev/extf_file.h"
#include "store/address_record.h"
#include "store/app_state.h"

namespace datev {

inline constexpr int kBatchCategory = 21;
inline constexpr int kBatchFormatVersion = 13;

// One row of the batch. Texts are Windows-1252.
struct Booking {
  std::int64_t amount = 0;   // cents of `currency`, without sign
  char side = 'S';           // 'S' debit, 'H' credit of `account`
  std::string currency;      // ISO 4217
  double exchangeRate = 0;   // units of `currency` per unit of the base currency; 0 none
  std::int64_t baseAmount = 0;  // in the base currency, with an exchange rate
  std::string baseCurrency;
  std::string account;
  std::string contraAccount;
  std::string documentDate;  // "dd.mm.yyyy"
  std::string document;      // the invoice number
  std::string text;          // the customer's name
  std::int64_t cashDiscount = 0;  // cents, payments only
  std::string serviceDate;   // "dd.mm.yyyy"; invoices only
  std::int32_t invoice = 0;
};

// A customer the batch books on, for the master data file.
struct Debtor {
  std::string account;
  store::AddressRecord address{};
};

struct Batch {
  std::vector<Booking> bookings;
  std::map<std::string, Debtor> debtors;  // by account; per-customer debtors only
  // Invoices without a record of issue, exported from their stored figures.
  std::vector<std::int32_t> withoutRecord;
  // Invoices whose customer number gives no debtor account: on the
  // collective debtor.
  std::vector<std::int32_t> onCollective;
  // Invoices with a tax rate that is neither 19 % nor 7 %: booked on the
  // account of the rate class (the higher rate on the 19 % account).
  std::vector<std::int32_t> otherRates;
  // Invoices whose record knows the total only (taken over from an older
  // version with a total its lines do not give): the difference is booked
  // with the largest tax class.
  std::vector<std::int32_t> totalOnly;
  bool escaped = false;
};

// The rows of the issued invoices (and payments) from `from` to `to`
// ("dd.mm.yyyy"), in the order of the order index. Invoices are chosen as
// the invoice journal chooses them, so that the batch and the journal of a
// period state the same amounts.
Batch CollectBatch(frame::AppState& app, const Settings& settings, const std::string& from,
                   const std::string& to, bool payments,
                   const std::function<void(const std::string&)>& reportDamaged = {});

// The debtor account of a customer number: start + number, when the number
// is digits and the account keeps the length of a debtor account; empty
// otherwise (the collective debtor then).
std::string DebtorAccount(const Settings& settings, std::string_view customerNumber);

// The start of the financial year that `date` ("dd.mm.yyyy") lies in, as
// "dd.mm.yyyy".
std::string FinancialYearStart(const Settings& settings, const std::string& date);
// Empty when a batch from `from` to `to` can be made; else why not (German).
std::string RangeProblem(const Settings& settings, const std::string& from, const std::string& to);

// The header fields the settings give, for a file made at `createdAt` of a
// period from `from` on.
ExtfHeader SettingsHeader(const Settings& settings, const platform::LocalTime& createdAt,
                          const std::string& from);

// The whole file, Windows-1252 bytes.
std::string BatchFileText(const Settings& settings, const platform::LocalTime& createdAt,
                          const std::string& from, const std::string& to,
                          const std::vector<Booking>& bookings);
// "EXTF_Buchungsstapel_<from>_<to>.csv" with the dates as YYYYMMDD.
std::string BatchFileName(const std::string& from, const std::string& to);
// The column names of the batch, in their order.
const std::vector<std::string>& BatchColumns();

// What the user is told after an export besides the file name (German,
// empty when there is nothing to say).
std::string BatchNotes(const Batch& batch);

}  // namespace datev

#endif  // BELVON_DATEV_BOOKING_BATCH_H
