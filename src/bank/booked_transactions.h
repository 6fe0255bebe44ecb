// BANKUMS.DAT, the transactions of bank statements that were booked: one
// line per step of a booking, appended and flushed before the next step,
// so that a statement read twice books nothing twice and a booking cut off
// between its order writes is finished (or taken back) by the next run.
// Read anew by every run, so a second copy of the program sees what the
// first booked.
//
// Layout: doc/formats/bank.md
#ifndef BELVON_BANK_BOOKED_TRANSACTIONS_H
#define BELVON_BANK_BOOKED_TRANSACTIONS_H

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "bank/matching.h"
#include "platform/file.h"
#include "store/app_state.h"

namespace bank {

inline constexpr const char* kBookedTransactionsName = "BANKUMS.DAT";

// The head of one order as it was before a booking wrote to it, and the
// paid figure the booking gave it.
struct OrderBefore {
  std::int32_t order = 0;
  std::int32_t paidBefore = 0;
  std::int32_t paidAfter = 0;
  std::uint16_t cashDiscountTakenBefore = 0;
  std::string paymentDateBefore;  // Windows-1252, as the head holds it
  std::string accountBefore;
};

struct BookedTransaction {
  enum class State { Pending, Booked, TakenBack };
  std::string identity;
  State state = State::Pending;
  std::string date;
  std::int64_t cents = 0;
  std::string account;                // the "Konto" written with the payments
  std::vector<Allocation> plan;       // every payment of the booking
  std::vector<OrderBefore> written;   // orders written so far, in order
};

class BookedTransactions {
 public:
  // Reads the file without holding it beyond the read (a missing file is
  // empty). False when it exists but cannot be read (told).
  bool read(frame::AppState& app);
  // Opens it for a booking run, held exclusively until this object goes:
  // a second copy waits (and is asked, as for every data file) until the
  // run is done. Made when missing. False when it cannot be had (told).
  bool hold(frame::AppState& app);

  const BookedTransaction* find(const std::string& identity) const;
  // Bookings begun and neither finished nor taken back, oldest first.
  std::vector<BookedTransaction> pending() const;
  // Lines whose check does not match (left out).
  int damaged() const { return damaged_; }

  // The steps of a booking, each one line flushed to the disk; false when
  // the line could not be written whole.
  bool planned(const BookedTransaction& entry);
  bool wrote(const std::string& identity, const OrderBefore& before);
  bool finished(const std::string& identity);
  bool tookBack(const std::string& identity);

 private:
  bool parse(const std::string& text);
  bool append(std::string line);
  frame::AppState* app_ = nullptr;
  platform::File file_;
  std::uint64_t end_ = 0;  // end of the last whole line
  std::unordered_map<std::string, BookedTransaction> entries_;
  std::vector<std::string> sequence_;
  int damaged_ = 0;
};

}  // namespace bank

#endif  // BELVON_BANK_BOOKED_TRANSACTIONS_H
