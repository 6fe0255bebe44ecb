#include "maintenance/ui/maintenance_menu.h"

#include "core/command_ids.h"
#include "widgets/frame_window.h"
#include "widgets/pane.h"
#include "maintenance/currency_changeover.h"
#include "maintenance/lock_test.h"
#include "maintenance/master_rebuild.h"
#include "maintenance/order_rebuild.h"
#include "maintenance/previous_format.h"
#include "maintenance/structure_test.h"
#include "maintenance/ui/rechnungendel_dialog.h"

namespace maintenance {

namespace {

// The records moved: every pane reads its current one again.
void AfterRebuild(frame::FrameWindow& window, int done) {
  if (!done) return;
  for (frame::PaneSlot slot :
       {frame::PaneSlot::Address, frame::PaneSlot::Article, frame::PaneSlot::Order})
    if (frame::Pane* pane = window.pane(slot)) pane->refresh();
  window.refreshStatus();
}

}  // namespace

void InstallMaintenance(frame::FrameWindow& window) {
  frame::AppState& app = window.state();
  app.convertPreviousFormat = ConvertPreviousFormat;
  CheckLocks(app);
  window.setCommandHandler(frame::cmd::kTestDataStructures, [&app] { TestDataStructures(app); });
  window.setCommandHandler(frame::cmd::kReorganiseArticles,
                           [&app, &window] { AfterRebuild(window, ReorganiseArticles(app)); });
  window.setCommandHandler(frame::cmd::kReorganiseAddresses,
                           [&app, &window] { AfterRebuild(window, ReorganiseAddresses(app)); });
  window.setCommandHandler(frame::cmd::kDeleteOldInvoices, [&app, &window] {
    if (!ConfirmInvoiceDeletion(app)) return;
    RechnungenDelDialog dialog(app, &window);
    if (dialog.exec() == QDialog::Accepted)
      AfterRebuild(window, DeleteOldInvoices(app, dialog.from(), dialog.to()));
  });
  window.setCommandHandler(frame::cmd::kCurrencyChangeover,
                           [&app, &window] { AfterRebuild(window, CurrencyChangeover(app)); });
}

}  // namespace maintenance
