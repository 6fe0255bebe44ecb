#include "orders/ui/cash_customer_choice.h"

#include <QInputDialog>
#include <QStringList>
#include <algorithm>

#include "core/user_interface.h"
#include "orders/cash_customer.h"
#include "widgets/field_text.h"

namespace orders {

std::string AskCashCustomer(const frame::AppState& app,
                            const std::vector<CashCustomerCandidate>& names, QWidget* parent) {
  QStringList items;
  for (const CashCustomerCandidate& name : names) items << frame::FromCp1252(name.label);
  // The address chosen so far is preselected.
  const std::string kept = LoadCashCustomer(app);
  const auto current = std::find_if(names.begin(), names.end(),
                                    [&kept](const auto& name) { return name.name2 == kept; });
  bool ok = false;
  const QString chosen = QInputDialog::getItem(
      parent, QStringLiteral("Barkunde"),
      QStringLiteral("Verkäufe ohne Rechnung werden auf diese Adresse gebucht\n"
                     "(wählbar sind Adressen mit „Name 2“):"),
      items, current == names.end() ? 0 : static_cast<int>(current - names.begin()), false, &ok);
  const auto at = items.indexOf(chosen);
  return ok && at >= 0 ? names[static_cast<std::size_t>(at)].name2 : std::string();
}

void ChangeCashCustomer(frame::AppState& app, QWidget* parent) {
  const std::vector<CashCustomerCandidate> names = CashCustomerCandidates(app);
  if (names.empty()) {
    if (app.ui) app.ui->message("Bitte erst eine Adresse anlegen !", frame::Icon::Stop);
    return;
  }
  const std::string chosen = AskCashCustomer(app, names, parent);
  if (!chosen.empty() && !SaveCashCustomer(app, chosen) && app.ui)
    app.ui->message(std::string("Der Barkunde kann nicht gespeichert werden (") +
                        kCashDeskSettingsName + ").",
                    frame::Icon::Stop);
}

}  // namespace orders
