#include "masterdata/ui/kunden_pane.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/command_ids.h"
#include "store/message_count.h"
#include "widgets/dialog_support.h"
#include "widgets/frame_window.h"
#include "core/user_interface.h"
#include "masterdata/address_rules.h"
#include "masterdata/ui/address_fields.h"
#include "masterdata/ui/kundenauswahl_dialog.h"
#include "masterdata/ui/kundenedit_dialog.h"
#include "store/address_file.h"
#include "store/leitweg_ids.h"
#include "store/text_field.h"

namespace masterdata {

namespace {

QRadioButton* ShownRadio(QWidget* parent, QButtonGroup* group, int controlId, const QString& text) {
  auto* button = new QRadioButton(text, parent);
  button->setProperty("id", controlId);
  // The pane shows the kind and salutation; they are changed in the editor.
  button->setAttribute(Qt::WA_TransparentForMouseEvents);
  button->setFocusPolicy(Qt::NoFocus);
  group->addButton(button);
  return button;
}

}  // namespace

KundenPane::KundenPane(frame::AppState& app, frame::FrameWindow& window)
    : frame::Pane(QStringLiteral("KUNDEN")), app_(app), window_(window) {
  auto* top = new QVBoxLayout(this);
  top->setSpacing(3);
  auto* kinds = new QHBoxLayout;
  auto* kindGroup = new QButtonGroup(this);
  const char* kindTexts[] = {"Kunde", "Lieferant", "Werbung", "Sonst."};
  for (int i = 0; i < 4; ++i)
    kinds->addWidget(ShownRadio(this, kindGroup, id::kKinds[i], QString::fromUtf8(kindTexts[i])));
  top->addLayout(kinds);
  auto* salutations = new QHBoxLayout;
  auto* salutationGroup = new QButtonGroup(this);
  const char* salutationTexts[] = {"Firma", "Herr", "Frau", "An", "ohne"};
  for (int i = 0; i < 5; ++i)
    salutations->addWidget(ShownRadio(this, salutationGroup, id::kSalutations[i],
                                      QString::fromUtf8(salutationTexts[i])));
  top->addLayout(salutations);

  auto* grid = new QGridLayout;
  struct Row {
    int id;
    const char* label;
  };
  const Row rows[] = {{id::kCustomerNumber, "Adr.-Nr.:"}, {id::kName1, "Name 1:"},
                      {id::kName2, "Name 2:"},           {id::kName3, "Name 3:"},
                      {id::kStreet, "Straße:"},          {id::kTown, "PLZ / Ort:"},
                      {id::kPhone, "Telefon:"},          {id::kFax, "Telefax:"},
                      {id::kDispatch, "Versand:"},       {id::kLeitwegId, "Leitweg-ID:"}};
  int row = 0;
  for (const Row& r : rows) {
    QLineEdit* edit = frame::MakeEdit(
        this, r.id, r.id == id::kLeitwegId ? kLeitwegIdLimit : AddressFieldLimit(r.id));
    edit->setReadOnly(true);
    edit->setMinimumWidth(150);
    frame::AddRow(grid, row++, 0, QString::fromUtf8(r.label), edit);
  }
  top->addLayout(grid);
  auto* remark = new frame::LimitedTextEdit(this, id::kRemark, 401);
  remark->setReadOnly(true);
  remark->setFixedHeight(fontMetrics().lineSpacing() * 3 + 10);
  top->addWidget(remark);

  auto* buttons = new QGridLayout;
  struct Button {
    int id;
    const char* text;
    int row, column;
  };
  const Button buttonList[] = {{1022, "<\n[F3]", 0, 0},    {1012, ">\n[F4]", 0, 1},
                               {1030, "Suchen\n[F1]", 0, 2}, {1025, "Ändern\n[F2]", 1, 0},
                               {1027, "Löschen", 1, 1},    {1015, "Neu", 1, 2},
                               {2222, "Text", 2, 0}};
  for (const Button& b : buttonList) {
    QPushButton* button = frame::MakeButton(this, b.id, QString::fromUtf8(b.text));
    connect(button, &QPushButton::clicked, this, [this, id = b.id] { command(id); });
    buttons->addWidget(button, b.row, b.column);
  }
  top->addLayout(buttons);
  top->addStretch(1);

  // The remark text opens from a button that is not shown.
  frame::FindControl(this, 2222)->hide();
  if (app_.restrictedMode) {
    frame::FindControl(this, 1025)->hide();
    frame::FindControl(this, 1027)->hide();
  }
  StoreNameCriterion(app_.addressCriteria, {});
  app_.addresses.position = 0;
}

void KundenPane::showEvent(QShowEvent* event) {
  frame::Pane::showEvent(event);
  if (!firstShow_) return;
  firstShow_ = false;
  if (app_.addresses.position != -1) readCurrent();
}

void KundenPane::refresh() {
  ShowAddress(this, app_.address, app_.parameters, app_.figures);
  frame::Control<QLineEdit>(this, id::kLeitwegId)
      ->setText(QString::fromStdString(
          store::LeitwegIdOf(app_, store::GetText(app_.address.customerNumber))));
}

void KundenPane::announce() { window_.sendToPane(frame::PaneSlot::Order, frame::cmd::kAddressChanged); }

void KundenPane::readCurrent() {
  store::AddressRecord address{};
  if (store::ReadAddress(app_, address, app_.addresses.position)) app_.address = address;
  refresh();
  announce();
}

void KundenPane::handleCommand(int controlId) {
  switch (controlId) {
    case 1022: browse(false); break;
    case 1012: browse(true); break;
    case 1030: search(); break;
    case 1025: change(); break;
    case 1027: remove(); break;
    case 1015: create(); break;
    case 2222: editRemark(); break;
    default: break;
  }
}

bool KundenPane::orderMayChange() {
  frame::Pane* order = window_.pane(frame::PaneSlot::Order);
  return !order || order->mayReplace();
}

void KundenPane::browse(bool forward) {
  if (!haveAddresses()) return;
  const auto cursor = app_.addresses;
  std::int32_t position = app_.addresses.position;
  if (!store::ScanAddresses(app_, app_.addressCriteria, position, forward)) return;
  if (!orderMayChange()) {
    app_.addresses = cursor;
    return;
  }
  app_.addresses.position = position;
  readCurrent();
}

void KundenPane::search() {
  if (!haveAddresses() || !orderMayChange()) return;
  if (!AskAddressSearch(app_, this)) return;
  // The criteria keep the search, so that < and > follow it.
  findFirst();
}

void KundenPane::selectAddresses() {
  if (!haveAddresses() || !orderMayChange()) return;
  KundenAuswahlDialog dialog(app_.addressCriteria, kSelectionMode, this);
  if (dialog.exec() != QDialog::Accepted) return;
  app_.addressCriteria = dialog.criteria();
  findFirst();
}

void KundenPane::findFirst() {
  if (FindFirstAddress(app_)) {
    refresh();
    announce();
  } else if (app_.ui) {
    app_.ui->message("Nicht gefunden!", frame::Icon::Exclamation);
  }
}

void KundenPane::change() {
  if (!haveAddresses() || !orderMayChange()) return;
  store::AddressRecord current{};
  if (store::ReadAddress(app_, current, app_.addresses.position)) app_.address = current;
  const Shown before{app_.address, app_.addresses};
  KundenEditDialog dialog(app_, app_.address, false, this);
  const std::string number(store::GetText(app_.address.customerNumber));
  dialog.setLeitwegId(store::LeitwegIdOf(app_, number));
  if (dialog.exec() != QDialog::Accepted) return;
  if (!writeAddress(dialog.address(), false, before)) return;
  storeLeitwegId(number, dialog.leitwegId());
  refresh();
  announce();
}

bool KundenPane::writeAddress(const store::AddressRecord& address, bool isNew,
                              const Shown& before) {
  const auto& [kept, cursor] = before;
  std::int32_t position = isNew ? -1 : cursor.position;
  frame::MessageCount said(app_);
  if (store::WriteAddress(app_, address, position, isNew)) {
    app_.address = address;
    app_.addresses.position = position;
    return true;
  }
  // The store names the file that held up a name change; once is enough.
  if (app_.ui && said.shown() == 0)
    app_.ui->message("Die Adresse konnte nicht gespeichert werden.", frame::Icon::Exclamation);
  // Back on what the file holds: the order pane must never take a customer
  // reference with a name that was not stored.
  app_.addresses = cursor;
  store::AddressRecord stored{};
  app_.address = store::ReadAddress(app_, stored, cursor.position) ? stored : kept;
  refresh();
  return false;
}

void KundenPane::storeLeitwegId(const std::string& oldNumber, const std::string& id) {
  if (!store::StoreLeitwegId(app_, oldNumber, store::GetText(app_.address.customerNumber), id) &&
      app_.ui)
    app_.ui->message(std::string("Die Leitweg-ID konnte nicht gespeichert werden (") +
                         store::kLeitwegIdsFileName + ").",
                     frame::Icon::Exclamation);
}

void KundenPane::remove() {
  if (!haveAddresses() || !orderMayChange()) return;
  if (!app_.ui || !app_.ui->question("Adresse wirklich löschen?", frame::Icon::Question, true))
    return;
  std::int32_t position = app_.addresses.position;
  const std::string number(store::GetText(app_.address.customerNumber));
  if (!store::DeleteAddress(app_, position)) return;
  // A later customer given the number must not inherit the ID.
  store::StoreLeitwegId(app_, number, "", "");
  app_.addresses.position = position;
  store::AddressRecord address{};
  if (!store::ReadAddress(app_, address, position)) address = store::AddressRecord{};
  app_.address = address;
  refresh();
  announce();
}

void KundenPane::create() {
  if (!orderMayChange()) return;
  const Shown before{app_.address, app_.addresses};
  KundenEditDialog dialog(app_, NewAddress(app_.parameters), true, this);
  if (dialog.exec() != QDialog::Accepted) {
    app_.address = before.address;
    return;
  }
  if (!writeAddress(dialog.address(), true, before)) return;
  storeLeitwegId("", dialog.leitwegId());
  refresh();
  announce();
}

void KundenPane::editRemark() {
  if (!haveAddresses()) return;
  const Shown before{app_.address, app_.addresses};
  LangtextDialog dialog(app_.address, this);
  if (dialog.exec() != QDialog::Accepted) return;
  if (writeAddress(dialog.address(), false, before)) refresh();
}

void InstallAddressPane(frame::FrameWindow& window) {
  if (window.state().cashDeskMode) return;
  auto* pane = new KundenPane(window.state(), window);
  window.setPane(frame::PaneSlot::Address, pane);
  window.setCommandHandler(frame::cmd::kAddressSelection, [pane] { pane->selectAddresses(); });
}

}  // namespace masterdata
