// The "Wartung" menu: "Datenstrukturen testen" (120), "Artikel
// reorganisieren" (122), "Adressen reorganisieren" (139), "Alte Rechungen
// löschen..." (113) and the currency changeover (2209); and what maintenance
// does at start-up: the test that file locks work in the data directory and
// the conversion of the files of the previous program version.
#ifndef BELVON_MAINTENANCE_UI_MAINTENANCE_MENU_H
#define BELVON_MAINTENANCE_UI_MAINTENANCE_MENU_H

namespace frame {
class FrameWindow;
}

namespace maintenance {

// Installed before the parameters are loaded, so that an older parameter
// file finds its conversion at hand.
void InstallMaintenance(frame::FrameWindow& window);

}  // namespace maintenance

#endif  // BELVON_MAINTENANCE_UI_MAINTENANCE_MENU_H
