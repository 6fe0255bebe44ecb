// Pictures of the address pane and its dialogs for people to look at; only
// taken when BELVON_SCREENSHOT_DIR names a folder.
#include <QApplication>
#include <QDir>
#include <cstdlib>

#include <gtest/gtest.h>

#include "support/screenshot.h"

#include "frame/app_state.h"
#include "frame/load_parameters.h"
#include "frame/ui/main_window.h"
#include "masterdata/address_rules.h"
#include "masterdata/ui/kunden_pane.h"
#include "masterdata/ui/kundenauswahl_dialog.h"
#include "masterdata/ui/kundenedit_dialog.h"
#include "store/address_file.h"
#include "store/text_field.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace {

TEST(KundenScreenshots, PaneAndDialogs) {
  if (!std::getenv("BELVON_SCREENSHOT_DIR")) GTEST_SKIP() << "BELVON_SCREENSHOT_DIR not set";
  testsupport::TempDir dir;
  testsupport::ScriptedUi ui;
  frame::AppState app;
  app.dataDirectory = dir.path();
  app.ui = &ui;
  frame::LoadParameters(app);
  store::AddressRecord a = masterdata::NewAddress(app.parameters);
  a.kind = 1;
  a.salutation = 2;
  store::SetText(a.name1, "Dr. Hans");
  store::SetText(a.name2, "M\xfcller");
  store::SetText(a.street, "K\xf6nigstra\xdf" "e 5");
  store::SetText(a.town, "34119 Kassel");
  store::SetText(a.phone, "0561 998877");
  store::SetText(a.remark, "Stammkunde seit 1998\r\nLieferung nur vormittags");
  store::SetText(a.deliveryLine1, "Lager Nord");
  std::int32_t position = -1;
  store::WriteAddress(app, a, position, true);
  frame::MainWindow window(app);
  masterdata::InstallAddressPane(window);
  testsupport::SaveScreenshot(*window.pane(frame::PaneSlot::Address), "kunden_pane");
  masterdata::KundenEditDialog edit(app, a, false);
  testsupport::SaveScreenshot(edit, "kundenedit");
  masterdata::KundenEdit2Dialog delivery(a);
  testsupport::SaveScreenshot(delivery, "kundenedit2");
  masterdata::KundenAuswahlDialog selection(app.addressCriteria, masterdata::kSelectionMode);
  testsupport::SaveScreenshot(selection, "kundenauswahl");
  masterdata::KundenAuswahlDialog search(app.addressCriteria, masterdata::kSearchMode);
  testsupport::SaveScreenshot(search, "kundensuchen");
  masterdata::LangtextDialog remark(a);
  testsupport::SaveScreenshot(remark, "langtext");
}

}  // namespace
