// BUCHUNG.JNL, the journal of the order being booked: before the stock of
// its articles, its customer's turnover, its lines and its head are
// written, every one of those writes is recorded with the bytes it replaces
// and the bytes it writes, flushed to the disk. Once the head carries its
// booked flag the journal is emptied. A start (or the next booking run)
// that finds a journal no copy holds takes the order's writes back, so that
// an order killed half way is booked whole the next time and nothing moves
// twice.
//
// The journal names only the record files of the data directory that
// booking writes (ARTIKEL.DAT, KUNDEN.DAT, RECHNUNG.DAT); anything else, an
// offset outside the file, or bytes that are neither the ones replaced nor
// the ones written, is refused with a message, changing nothing.
//
// Layout: doc/formats/booking-journal.md
#ifndef BELVON_ORDERS_BOOKING_JOURNAL_H
#define BELVON_ORDERS_BOOKING_JOURNAL_H

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file.h"
#include "store/app_state.h"

namespace orders {

inline constexpr const char* kBookingJournalName = "BUCHUNG.JNL";

struct JournalWrite {
  std::string file;  // a plain name of the data directory
  std::uint64_t offset = 0;
  std::vector<std::uint8_t> before;
  std::vector<std::uint8_t> after;  // as long as `before`
};

std::string BookingJournalText(std::int32_t orderNumber, const std::vector<JournalWrite>& writes);
// False for anything that is not such a journal, or that names another file.
bool ParseBookingJournal(const std::string& text, std::int32_t& orderNumber,
                         std::vector<JournalWrite>& writes);

class BookingJournal {
 public:
  // Takes the journal for a booking run, taking back what a killed run
  // left first. False (told) when it cannot be had.
  bool take(frame::AppState& app);
  // Before an order's writes: all of them, flushed.
  bool record(std::int32_t orderNumber, const std::vector<JournalWrite>& writes);
  // The order is booked whole (or was put back): nothing to take back.
  bool clear();
  // A write failed and could not be put back: the journal keeps the order
  // for the next start and is not written again in this run.
  void keep() { kept_ = true; }
  // The run ends: the journal is removed unless it was kept.
  void close();

 private:
  frame::AppState* app_ = nullptr;
  platform::File file_;
  bool kept_ = false;
};

// Run at every start: takes back the writes of an order a killed booking
// run left in its journal. True when there was none, a copy is booking
// now, or it was done; false (told) when it could not be done.
bool FinishInterruptedBooking(frame::AppState& app);

}  // namespace orders

#endif  // BELVON_ORDERS_BOOKING_JOURNAL_H
