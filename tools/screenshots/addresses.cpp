// The address pane and its dialogs.
#include "store/load_parameters.h"
#include "app/main_window.h"
#include "masterdata/address_rules.h"
#include "masterdata/ui/kunden_pane.h"
#include "masterdata/ui/kundenauswahl_dialog.h"
#include "masterdata/ui/kundenedit_dialog.h"
#include "screenshots.h"
#include "store/address_file.h"
#include "store/text_field.h"
#include "support/test_app.h"

namespace screenshots {

void AddressPane() {
  testsupport::TestApp t;
  frame::AppState& app = t.app;
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
  Save(*window.pane(frame::PaneSlot::Address), "kunden_pane");
  masterdata::KundenEditDialog edit(app, a, false);
  Save(edit, "kundenedit");
  masterdata::KundenEdit2Dialog delivery(a);
  Save(delivery, "kundenedit2");
  masterdata::KundenAuswahlDialog selection(app.addressCriteria, masterdata::kSelectionMode);
  Save(selection, "kundenauswahl");
  masterdata::KundenAuswahlDialog search(app.addressCriteria, masterdata::kSearchMode);
  Save(search, "kundensuchen");
  masterdata::LangtextDialog remark(a);
  Save(remark, "langtext");
}

}  // namespace screenshots
