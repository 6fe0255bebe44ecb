#include "orders/ui/sammelrechnung_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "core/decimal.h"
#include "widgets/dialog_support.h"
#include "widgets/field_text.h"
#include "widgets/help_viewer.h"
#include "orders/collective_invoice.h"
#include "core/dates.h"

namespace orders {

namespace {

constexpr int kMaxCopies = 99;

}  // namespace

SammelrechnungDialog::SammelrechnungDialog(frame::AppState& app, PrintJobCall printJob,
                                           QWidget* parent)
    : QDialog(parent), app_(app), printJob_(std::move(printJob)) {
  setObjectName(QStringLiteral("SAMMELRECHNUNG"));
  setWindowTitle(QStringLiteral("Sammelrechnung"));
  auto* top = new QVBoxLayout(this);
  auto* group = new QGroupBox(QStringLiteral("Sammelrechnung für"), this);
  auto* name = new QLabel(frame::FromField(app_.address.name1) + QLatin1Char(' ') +
                              frame::FromField(app_.address.name2),
                          group);
  name->setProperty("id", 2103);
  (new QVBoxLayout(group))->addWidget(name);
  top->addWidget(group);
  auto* grid = new QGridLayout;
  QLineEdit* from = frame::MakeEdit(this, 2101, 9);
  QLineEdit* to = frame::MakeEdit(this, 2102, 9);
  to->setText(QString::fromStdString(HighestNumberOfMonth(*app_.clock)));
  frame::AddRow(grid, 0, 0, QStringLiteral("von"), from);
  frame::AddRow(grid, 1, 0, QStringLiteral("bis"), to);
  QCheckBox* invoiced = frame::MakeCheck(this, 2144, QStringLiteral("incl.gedruckte Rechnungen"));
  // Orders already invoiced are billed again only when asked for.
  invoiced->setChecked(false);
  grid->addWidget(invoiced, 2, 1);
  QLineEdit* copies = frame::MakeEdit(this, 2107, 2);
  copies->setText(QString::number(app_.address.copies));
  // The number of copies changes the customer in memory at once.
  connect(copies, &QLineEdit::textEdited, this, [this](const QString& text) {
    app_.address.copies = static_cast<decltype(app_.address.copies)>(
        frame::ParseWhole(text.toStdString()));
  });
  frame::AddRow(grid, 3, 0, QStringLiteral("Anzahl Ausdrucke"), copies);
  QLineEdit* date = frame::MakeEdit(this, 2104, 10);
  date->setText(QString::fromStdString(FormatDate(*app_.clock)));
  frame::AddRow(grid, 4, 0, QStringLiteral("Rechnungsdatum"), date);
  top->addLayout(grid);
  top->addLayout(frame::MakeButtonRow(this, {{1, "&Drucken"}, {2, "&Abbruch"}, {9, "&Hilfe"}},
                                      [this](int id) { command(id); }));
}

void SammelrechnungDialog::command(int id) {
  switch (id) {
    case 1: print(); break;
    case 2: reject(); break;
    case 9: frame::ShowHelp(this, 42); break;
    default: break;
  }
}

void SammelrechnungDialog::print() {
  if (RefusedWithoutPriceSettings(app_, DocumentKind::CollectiveInvoice)) {
    reject();
    return;
  }
  auto text = [this](int id) { return frame::Control<QLineEdit>(this, id)->text().toStdString(); };
  CollectionRequest request;
  request.customerRef = app_.addresses.entry.offset;
  request.from = frame::ParseWhole(text(2101));
  request.to = frame::ParseWhole(text(2102));
  request.includeInvoiced = frame::Control<QCheckBox>(this, 2144)->isChecked();
  request.invoiceDate = text(2104);
  auto collection = std::make_shared<Collection>();
  if (!CollectOrders(app_, request, *collection)) {
    reject();
    return;
  }
  {
    // The collective invoice's number is drawn before it prints, so that
    // every copy carries it; the first copy out completes the issue. The collection stays in the order pane's buffers
    // for as long as a copy may still print from it (a preview holds
    // `printed`); the pane's own order comes back when the last holder lets
    // go, and a collective invoice of which no copy came out is withdrawn.
    // The pane's holder keeps the collection for as long as it lives.
    std::shared_ptr<CollectionInPane> pane(new CollectionInPane(app_, *collection),
                                           [collection](CollectionInPane* held) { delete held; });
    if (RefusedWithoutTaxNumber(app_) || !IssueCollection(app_, *collection)) {
      reject();
      return;
    }
    pane->issued();
    auto printed = [pane] { pane->printed(); };
    printing::JobInputs inputs;
    inputs.printDate = collection->invoiceDate;
    const int copies = std::clamp<int>(app_.address.copies, 1, kMaxCopies);
    const int job = static_cast<int>(DocumentKind::CollectiveInvoice);
    for (int i = 1; i < copies; ++i) printJob_(job, false, inputs, printed);
    printJob_(job, true, inputs, printed);
  }
  accept();
}

}  // namespace orders
