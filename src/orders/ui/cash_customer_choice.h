// Choosing the cash customer: asked by the cash desk's first sale without
// an invoice, and at any time through "Datei > Barkunde wählen...".
#ifndef BELVON_ORDERS_UI_CASH_CUSTOMER_CHOICE_H
#define BELVON_ORDERS_UI_CASH_CUSTOMER_CHOICE_H

#include <QWidget>
#include <string>
#include <vector>

#include "orders/cash_customer.h"
#include "store/app_state.h"

namespace orders {

// The name line 2 of one of `names`, chosen in a list of their full names
// and towns that shows the cash customer so far; empty when the user
// cancelled.
std::string AskCashCustomer(const frame::AppState& app,
                            const std::vector<CashCustomerCandidate>& names, QWidget* parent);

// Asks and stores the choice in KASSE.INI; the user is told what failed.
void ChangeCashCustomer(frame::AppState& app, QWidget* parent);

}  // namespace orders

#endif  // BELVON_ORDERS_UI_CASH_CUSTOMER_CHOICE_H
