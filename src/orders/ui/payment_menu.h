// The payment commands of the "&Rechnung" menu: "Zahlungseingang" (108),
// "&Buchen..." (112), the back-order confirmation (106), "Offene
// Rechnungen egalisieren..." (114) and "&Sammelrechnung drucken..." (107).
#ifndef BELVON_ORDERS_UI_PAYMENT_MENU_H
#define BELVON_ORDERS_UI_PAYMENT_MENU_H

namespace frame {
class FrameWindow;
}

namespace orders {

// Installed after the panes: the article pane's "Nachlieferung ?" (2143)
// opens the back-order list of the current article.
void InstallPaymentCommands(frame::FrameWindow& window);

}  // namespace orders

#endif  // BELVON_ORDERS_UI_PAYMENT_MENU_H
