// Rebuilding the order file from its index: the deletion of old invoices
// (every order dated in a range is left out) and the conversion of an order
// file of the previous format. Orders whose head and index entry disagree,
// or whose address is gone, are put to the user.
//
// As with the master files, the new pair is written whole under R.DAT and
// R.IDX and replaced in one step (store/file_replacement.h).
#ifndef BELVON_MAINTENANCE_ORDER_REBUILD_H
#define BELVON_MAINTENANCE_ORDER_REBUILD_H

#include <functional>
#include <string>

#include "store/app_state.h"
#include "maintenance/file_images.h"

namespace maintenance {

struct OrderRebuild {
  OrderFraming source = kCurrentOrders;
  // Head and line as read (source sizes, zero behind the stored length) into
  // the current 80 and 402 bytes; none: they are copied as they are.
  std::function<void(const Bytes& read, Bytes& head)> convertHead;
  std::function<void(const Bytes& read, Bytes& line)> convertLine;
  // With byDate, orders dated in from .. to (both included, read as dates
  // even when a text is empty) are left out.
  bool byDate = false;
  std::string from, to;
  // With byDate: an order of the range for which this says true is kept.
  std::function<bool(const Bytes& head)> keep;
  std::function<bool(Replacement&)> alsoReplace;
};

// 1 when the new pair was committed, or when an empty index left nothing to
// delete; 0 when nothing was changed.
int RebuildOrderFile(frame::AppState& app, const OrderRebuild& rebuild);

// The question before the deletion of old invoices.
bool ConfirmInvoiceDeletion(frame::AppState& app);
// Deletes the orders dated in the range, but keeps every issued invoice
// whose retention period has not ended (eight years from the end of the
// calendar year of its invoice date) and says until when; the records of
// the invoices deleted leave the book of issued invoices in the same step.
int DeleteOldInvoices(frame::AppState& app, const std::string& from, const std::string& to);

// The last day an invoice of `invoiceDate` ("dd.mm.yyyy") must be kept:
// 31.12. of the eighth year after its year; empty for a text that is no date.
std::string RetainedUntil(std::string_view invoiceDate);

}  // namespace maintenance

#endif  // BELVON_MAINTENANCE_ORDER_REBUILD_H
