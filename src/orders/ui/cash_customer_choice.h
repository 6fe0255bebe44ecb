// Choosing the cash customer: asked by the cash desk's first sale without
// an invoice, and at any time through "Datei > Barkunde wählen...".
#ifndef BELVON_ORDERS_UI_CASH_CUSTOMER_CHOICE_H
#define BELVON_ORDERS_UI_CASH_CUSTOMER_CHOICE_H

#include <QWidget>
#include <string>
#include <vector>

#include "store/app_state.h"

namespace orders {

// One of `names` (name lines 2, Windows-1252) chosen in a list that shows
// the cash customer so far; empty when the user cancelled.
std::string AskCashCustomer(const frame::AppState& app, const std::vector<std::string>& names,
                            QWidget* parent);

// Asks and stores the choice in KASSE.INI; the user is told what failed.
void ChangeCashCustomer(frame::AppState& app, QWidget* parent);

}  // namespace orders

#endif  // BELVON_ORDERS_UI_CASH_CUSTOMER_CHOICE_H
