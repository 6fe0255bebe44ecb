#include "orders/settling.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/user_interface.h"
#include "core/dates.h"
#include "orders/issue_statement.h"
#include "store/data_file.h"
#include "store/indexed_file.h"
#include "store/order_file.h"
#include "store/order_framing.h"
#include "store/text_field.h"

namespace orders {

namespace {

using platform::Access;
using platform::Share;

// The head must reach its date point and everything settling writes.
bool HeadIsSound(const store::OrderHead& head) {
  return head.length >= offsetof(store::OrderHead, invoiceDate) &&
         reinterpret_cast<const char*>(&head)[store::kOrderDatePointOffset] == '.';
}

void ReportDamaged(frame::AppState& app, std::int32_t orderNumber) {
  char text[120];
  std::snprintf(text, sizeof text, "Probleme mit Auftrag #%ld\nAuftrag kann nicht gelesen werden.",
                static_cast<long>(orderNumber));
  if (app.ui) app.ui->message(text, frame::Icon::Exclamation);
}

}  // namespace

std::string SettlementNote() {
  return std::string("egalisiert").substr(0, sizeof(store::OrderHead::account) - 2);
}

std::string OwedBackNote(const std::vector<std::int32_t>& owedBack) {
  if (owedBack.empty()) return {};
  std::string note = "Nicht egalisiert (Guthaben des Kunden): Nr.";
  for (std::size_t i = 0; i < owedBack.size(); ++i)
    note += (i ? ", " : " ") + std::to_string(owedBack[i]);
  return note;
}

int SettleOpenItems(frame::AppState& app, long from, long to, bool allCustomers, int* settled,
                    std::vector<std::int32_t>* owedBack) {
  if (settled) *settled = 0;
  if (owedBack) owedBack->clear();
  if (!allCustomers && app.addresses.position < 0) return 1;
  const std::uint32_t customer = app.addresses.entry.offset;
  const std::string today = FormatDate(*app.clock);
  frame::WaitCursor wait(app.ui);
  store::IndexBlock block;
  // The index is held until the heads are written, so that no order moves
  // meanwhile (a reorganisation or a changed order of another copy) and
  // nothing is written at an offset the order left.
  platform::File index = store::OpenData(app, store::kOrderIndexName, Access::ReadWrite,
                                         Share::Exclusive);
  if (!index || !store::OrderFile(app).ReadIndex(index, block)) return 0;
  platform::File data = store::OpenData(app, store::kOrderDataName, Access::ReadWrite,
                                        Share::Exclusive);
  if (!data) return 0;
  int result = 1;
  for (std::int32_t k = 0; k < block.count && result; ++k) {
    store::OrderIndexEntry entry;
    std::memcpy(&entry, block.entry(k), sizeof entry);
    if ((!allCustomers && entry.customerRef != customer) || entry.orderNumber < from ||
        entry.orderNumber > to)
      continue;
    store::OrderHead head{};
    if (!store::ReadOrderHead(data, entry.offset, head) || !HeadIsSound(head)) {
      ReportDamaged(app, entry.orderNumber);
      continue;
    }
    // Only an issued invoice has anything to settle: a quotation or a
    // delivery note not yet invoiced owes nothing yet, and settling it would
    // make its later invoice read as paid.
    if (!IssuedAsInvoice(head)) continue;
    // Only what is still open is written off; money owed back to the
    // customer (an overpayment, a credit note not yet refunded) stays.
    const std::int64_t open = std::int64_t{head.total} - head.paid;
    if (open < 0 && owedBack) owedBack->push_back(std::int32_t{head.orderNumber});
    if (open <= 0) continue;
    head.paid = head.total;
    store::SetText(head.account, SettlementNote());
    store::SetText(head.paymentDate, today);
    const std::size_t n = std::min<std::size_t>(head.length, sizeof head);
    if (!data.seek(entry.offset) || !data.write(&head, n)) result = 0;
    else if (settled) ++*settled;
  }
  data.close();
  index.close();
  store::OrderHead current{};
  if (app.orders.position >= 0 && store::ReadOrder(app, current, app.orders.position))
    app.order = current;
  return result;
}

}  // namespace orders
