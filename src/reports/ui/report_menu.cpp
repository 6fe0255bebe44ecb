#include "reports/ui/report_menu.h"

#include "core/command_ids.h"
#include "widgets/frame_window.h"
#include "printing/ui/qt_print_host.h"
#include "reports/invoice_journal.h"
#include "reports/invoice_lists.h"
#include "reports/master_data_lists.h"
#include "reports/statistics.h"
#include "reports/ui/date_range_dialog.h"

namespace reports {

void RegisterReportCommands(frame::FrameWindow& window) {
  frame::AppState& app = window.state();
  auto start = [&app](int job, const std::string& from, const std::string& to) {
    printing::JobInputs inputs;
    inputs.reportFrom = from;
    inputs.reportTo = to;
    printing::StartPrintJob(app, job, false, inputs);
  };
  const std::pair<int, int> direct[] = {
      {frame::cmd::kOpenInvoiceList, kJobOpenInvoices},
      {frame::cmd::kUnprintedInvoiceList, kJobUnprintedInvoices},
      {frame::cmd::kOpenBackOrderList, kJobBackOrders},
      {frame::cmd::kOrderProposals, kJobOrderProposals},
      {frame::cmd::kSelectionListSale, kJobArticlesSale},
      {frame::cmd::kSelectionListPurchase, kJobArticlesPurchase},
      {frame::cmd::kAddressListByName, kJobAddressesByName},
      {frame::cmd::kAddressListByPostcode, kJobAddressesByPostcode},
  };
  for (const auto& [id, job] : direct)
    window.setCommandHandler(id, [start, job] { start(job, {}, {}); });

  auto dialog = [&app, &window, start](RangeDialog kind, int job, bool needsOrders) {
    return [&app, &window, start, kind, job, needsOrders] {
      if (needsOrders && app.orders.lastIndex < 0) return;
      DateRangeDialog range(app, kind, start, job, &window);
      range.exec();
    };
  };
  window.setCommandHandler(frame::cmd::kInvoiceJournal,
                           dialog(RangeDialog::InvoiceJournal, kJobInvoiceJournal, false));
  window.setCommandHandler(frame::cmd::kArticleHitList,
                           dialog(RangeDialog::HitList, kJobArticleHitList, true));
  window.setCommandHandler(frame::cmd::kArticleTurnoverList,
                           dialog(RangeDialog::HitList, kJobArticleTurnover, true));
  window.setCommandHandler(frame::cmd::kCustomerHitList,
                           dialog(RangeDialog::CustomerHitList, kJobCustomerHitList, true));
  window.setCommandHandler(frame::cmd::kTurnoverGraph,
                           dialog(RangeDialog::Turnover, kJobTurnoverGraph, false));
}

}  // namespace reports
