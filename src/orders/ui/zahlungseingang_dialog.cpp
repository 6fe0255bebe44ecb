#include "orders/ui/zahlungseingang_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/decimal.h"
#include "core/user_interface.h"
#include "widgets/dialog_support.h"
#include "widgets/field_text.h"
#include "widgets/help_viewer.h"
#include "orders/payments.h"

namespace orders {

ZahlungseingangDialog::ZahlungseingangDialog(frame::AppState& app, QWidget* parent)
    : QDialog(parent), app_(app) {
  setObjectName(QStringLiteral("ZAHLUNGSEINGANG"));
  setWindowTitle(QStringLiteral("Zahlungseingang"));
  const PaymentForm form = OpenPaymentForm(app_);
  auto* top = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  QLineEdit* number = frame::MakeEdit(this, 2105, 10);
  number->setText(QString::fromStdString(form.orderNumber));
  frame::AddRow(grid, 0, 0, QStringLiteral("Auftrag"), number);
  QLineEdit* date = frame::MakeEdit(this, 2124, 10);
  date->setText(QString::fromStdString(form.paymentDate));
  frame::AddRow(grid, 1, 0, QStringLiteral("Zahlungseingang"), date);
  QLineEdit* amount = frame::MakeEdit(this, 2108, 9);
  amount->setText(QString::fromStdString(form.amount));
  frame::AddRow(grid, 2, 0, QStringLiteral("Betrag"), amount);
  QLineEdit* account = frame::MakeEdit(this, 2126, 8);
  frame::AddRow(grid, 3, 0, QStringLiteral("Konto"), account);
  QCheckBox* discount =
      frame::MakeCheck(this, 2120, QString::fromStdString(form.cashDiscountLabel));
  discount->setChecked(form.cashDiscount);
  // The proposed amount follows the box until the user types his own.
  connect(discount, &QCheckBox::toggled, this, [this, amount](bool ticked) {
    if (amount->text() == QString::fromStdString(ProposedAmount(app_.order, !ticked, app_.figures)))
      amount->setText(QString::fromStdString(ProposedAmount(app_.order, ticked, app_.figures)));
  });
  grid->addWidget(discount, 4, 1);
  top->addLayout(grid);
  top->addLayout(frame::MakeButtonRow(this, {{1, "&Buchen"}, {2, "&Abbruch"}, {9, "&Hilfe"}},
                                      [this](int id) { command(id); }));
  amount->setFocus();
}

void ZahlungseingangDialog::command(int id) {
  switch (id) {
    case 1: book(); break;
    case 2: reject(); break;
    case 9: frame::ShowHelp(this, 48); break;
    default: break;
  }
}

namespace {

void Refocus(QLineEdit* field) {
  field->setFocus(Qt::OtherFocusReason);
  field->selectAll();
}

}  // namespace

void ZahlungseingangDialog::book() {
  frame::FieldWriter writer;
  auto text = [&](int id) {
    return writer.bytes(frame::Control<QLineEdit>(this, id)->text());
  };
  PaymentForm form;
  form.orderNumber = text(2105);
  form.paymentDate = text(2124);
  form.amount = text(2108);
  form.account = text(2126);
  form.cashDiscount = frame::Control<QCheckBox>(this, 2120)->isChecked();
  // A refused input keeps the dialog with all that was typed: the focus
  // goes to the field to mend (the amount, unless the order was not found).
  QLineEdit* amount = frame::Control<QLineEdit>(this, 2108);
  if (!frame::ReadScaled(form.amount, 2)) {
    if (app_.ui) app_.ui->message(frame::NotANumberMessage("Betrag"), frame::Icon::Exclamation);
    Refocus(amount);
    return;
  }
  const std::int32_t shown = app_.order.orderNumber;
  if (BookPayment(app_, form)) {
    accept();
    return;
  }
  const bool found = app_.order.orderNumber != shown ||
                     app_.order.orderNumber == frame::ParseWhole(form.orderNumber);
  Refocus(found ? amount : frame::Control<QLineEdit>(this, 2105));
}

}  // namespace orders
