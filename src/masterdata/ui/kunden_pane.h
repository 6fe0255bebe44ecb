// The address pane "KUNDEN": the current address, browsing with < and >
// along the last selection or search, search, change, delete and new. Every
// change of the current address is announced to the order pane (9999).
#ifndef BELVON_MASTERDATA_UI_KUNDEN_PANE_H
#define BELVON_MASTERDATA_UI_KUNDEN_PANE_H

#include "store/app_state.h"
#include "widgets/pane.h"
#include "store/address_record.h"

namespace frame {
class FrameWindow;
}

namespace masterdata {

class KundenPane : public frame::Pane {
  Q_OBJECT

 public:
  KundenPane(frame::AppState& app, frame::FrameWindow& window);

  // Shows the current address.
  void refresh() override;
  // The address selection of the main menu (137).
  void selectAddresses();

 protected:
  void handleCommand(int id) override;
  void showEvent(QShowEvent* event) override;

 private:
  void browse(bool forward);
  // The first address that meets the criteria; "Nicht gefunden!" otherwise.
  void findFirst();
  void search();
  void change();
  void remove();
  void create();
  void editRemark();
  // Reads the address at the current position, shows it and tells the
  // order pane.
  void readCurrent();
  void announce();
  // Writes the address; on failure says so and puts the pane back on the
  // address it showed `before` the dialog, as the file holds it (nothing is
  // announced then).
  struct Shown {
    store::AddressRecord address;
    frame::IndexCursor<store::AddressIndexEntry> cursor;
  };
  bool writeAddress(const store::AddressRecord& address, bool isNew, const Shown& before);
  // The Leitweg-ID typed for the address just written, which had the
  // customer number `oldNumber` before (none for a new one).
  void storeLeitwegId(const std::string& oldNumber, const std::string& id);
  // The order pane may give up its order for another customer.
  bool orderMayChange();
  bool haveAddresses() const { return app_.addresses.lastIndex >= 0; }

  frame::AppState& app_;
  frame::FrameWindow& window_;
  bool firstShow_ = true;
};

// Puts the address pane into the main window and hangs the address
// selection (137) into its menu.
void InstallAddressPane(frame::FrameWindow& window);

}  // namespace masterdata

#endif  // BELVON_MASTERDATA_UI_KUNDEN_PANE_H
