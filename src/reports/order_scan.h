// The walk of the lists and statistics over the order file.
//
// The index is read whole; RECHNUNG.DAT is then read once, front to back in
// the order of the record offsets, through one open file and a read buffer,
// so that a list over tens of thousands of orders costs one pass over the
// file. Each order is handed over with its index position; the lists draw
// their rows afterwards in index order (ScanResult::seen).
#ifndef BELVON_REPORTS_ORDER_SCAN_H
#define BELVON_REPORTS_ORDER_SCAN_H

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "store/app_state.h"
#include "store/index_entry.h"
#include "store/order_record.h"

namespace reports {

struct ScannedOrder {
  std::int32_t position;  // in RECHNUNG.IDX
  const store::OrderIndexEntry& entry;
  const store::OrderHead& head;
  std::span<const store::OrderLine> lines;  // lines 1 .. line count (with lines)
};

struct ScanResult {
  std::vector<char> seen;  // per index position: the order was read and handed over
  bool escaped = false;    // the user pressed Esc
};

// A head whose order date has no point as its third character, or whose
// line count cannot be right, is skipped, and so is (with `withLines`) an
// order whose lines cannot all be read or hold a quantity no field can mean
// (store::QuantityIsSound); `reportDamaged` (set when the list
// goes to paper) is told "Probleme mit Auftrag #%ld ...". Progress goes
// through the UserInterface; Esc ends the walk.
ScanResult ScanOrders(frame::AppState& app, bool withLines,
                      const std::function<void(const std::string&)>& reportDamaged,
                      const std::function<void(const ScannedOrder&)>& visit);

// The addresses of the customers, each read once from KUNDEN.DAT.
class CustomerBook {
 public:
  explicit CustomerBook(frame::AppState& app);
  ~CustomerBook();
  CustomerBook(const CustomerBook&) = delete;
  CustomerBook& operator=(const CustomerBook&) = delete;
  // The address at the reference; an empty one for -1 or what cannot be read.
  const store::AddressRecord& at(std::int32_t reference);

 private:
  struct Impl;
  Impl* impl_;
};

}  // namespace reports

#endif  // BELVON_REPORTS_ORDER_SCAN_H
