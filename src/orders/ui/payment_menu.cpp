#include "orders/ui/payment_menu.h"

#include "core/command_ids.h"
#include "widgets/frame_window.h"
#include "widgets/pane.h"
#include "core/user_interface.h"
#include "orders/booking.h"
#include "orders/ui/nachlieferliste_dialog.h"
#include "orders/ui/nachlieferung_dialog.h"
#include "orders/ui/oposten_dialog.h"
#include "orders/ui/sammelrechnung_dialog.h"
#include "orders/ui/print_job_call.h"
#include "orders/ui/zahlungseingang_dialog.h"

namespace orders {

namespace {

constexpr int kBackOrdersOfArticle = 2143;  // the article pane's "Nachlieferung ?"

// Every pane shows its current record again.
void RefreshPanes(frame::FrameWindow& window) {
  for (frame::PaneSlot slot :
       {frame::PaneSlot::Address, frame::PaneSlot::Article, frame::PaneSlot::Order})
    if (frame::Pane* pane = window.pane(slot)) pane->refresh();
  window.update();
}

}  // namespace

void InstallPaymentCommands(frame::FrameWindow& window) {
  frame::AppState& app = window.state();
  // "Nachlieferung ?" of the article pane lists the article's back-orders.
  if (frame::Pane* articles = window.pane(frame::PaneSlot::Article))
    QObject::connect(articles, &frame::Pane::commandReceived, articles, [&app, articles](int id) {
      if (id != kBackOrdersOfArticle) return;
      NachlieferlisteDialog dialog(app, articles->window());
      dialog.exec();
    });
  window.setCommandHandler(frame::cmd::kPaymentReceived, [&app, &window] {
    if (app.order.orderNumber == 0) {
      if (app.ui) app.ui->message("Bitte erst Auftrag suchen !", frame::Icon::Stop);
      return;
    }
    ZahlungseingangDialog dialog(app, &window);
    dialog.exec();
    RefreshPanes(window);
  });
  window.setCommandHandler(frame::cmd::kBooking, [&app, &window] {
    if (ConfirmAndBookDeliveredOrders(app)) RefreshPanes(window);
  });
  window.setCommandHandler(frame::cmd::kConfirmBackOrder, [&app, &window] {
    NachlieferungDialog dialog(app, &window);
    if (dialog.exec() == QDialog::Accepted) RefreshPanes(window);
  });
  window.setCommandHandler(frame::cmd::kCollectiveInvoice, [&app, &window] {
    if (app.addresses.position < 0) {
      if (app.ui) app.ui->message("Bitte erst Kunden suchen !", frame::Icon::Stop);
      return;
    }
    SammelrechnungDialog dialog(app, ProgramPrintJob(app), &window);
    if (dialog.exec() == QDialog::Accepted) RefreshPanes(window);
  });
  window.setCommandHandler(frame::cmd::kSettleOpenInvoices, [&app, &window] {
    OpostenDialog dialog(app, &window);
    if (dialog.exec() == QDialog::Accepted) RefreshPanes(window);
  });
}

}  // namespace orders
