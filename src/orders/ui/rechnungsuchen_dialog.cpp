#include "orders/ui/rechnungsuchen_dialog.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/command_ids.h"
#include "core/decimal.h"
#include "widgets/dialog_support.h"
#include "widgets/field_text.h"
#include "widgets/help_viewer.h"
#include "widgets/frame_window.h"
#include "widgets/pane.h"
#include "core/user_interface.h"
#include "orders/order_search.h"
#include "orders/payments.h"
#include "orders/ui/rechnung_pane.h"
#include "store/address_file.h"

namespace orders {

namespace {

using frame::Control;

constexpr int kNumberField = 2090;
constexpr int kNameField = 2092;
constexpr int kSearchButton = 2132;
constexpr int kResultList = 2131;
constexpr int kResultLine = 2139;

}  // namespace

RechnungSuchenDialog::RechnungSuchenDialog(frame::AppState& app,
                                           std::function<void(std::int32_t)> show,
                                           QWidget* parent)
    : QDialog(parent), app_(app), show_(std::move(show)) {
  setObjectName(QStringLiteral("RECHNUNGSUCHEN"));
  setWindowTitle(QStringLiteral("Auftrag suchen"));
  auto* top = new QVBoxLayout(this);
  auto* fields = new QGridLayout;
  QLineEdit* number = frame::MakeEdit(this, kNumberField, 9);
  QLineEdit* name = frame::MakeEdit(this, kNameField, 40);
  frame::AddRow(fields, 0, 0, QStringLiteral("Auftragsnummer"), number);
  frame::AddRow(fields, 1, 0, QStringLiteral("Name 2"), name);
  top->addLayout(fields);
  auto* list = new QListWidget(this);
  list->setProperty("id", kResultList);
  list->setMinimumSize(list->fontMetrics().averageCharWidth() * 50,
                       list->fontMetrics().lineSpacing() * 12);
  top->addWidget(list, 1);
  auto* line = new QLabel(QStringLiteral("Suchergebnis:"), this);
  line->setProperty("id", kResultLine);
  top->addWidget(line);
  top->addLayout(frame::MakeButtonRow(
      this, {{kSearchButton, "&Suchen"}, {1, "&Auswahl"}, {9, "&Hilfe"}, {2, "Abbruch"}},
      [this](int id) { command(id); }));
  Control<QPushButton>(this, kSearchButton)->setDefault(true);

  // New search terms search again; the list, once it has the focus, is
  // what "&Suchen" chooses from.
  list->installEventFilter(this);
  auto searchAgain = [this] {
    resultsFocused_ = false;
    Control<QPushButton>(this, kSearchButton)->setText(QStringLiteral("&Suchen"));
  };
  connect(number, &QLineEdit::textChanged, this, searchAgain);
  connect(name, &QLineEdit::textChanged, this, searchAgain);
  connect(list, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
    if (item && show_) show_(item->data(Qt::UserRole).toInt());
  });
  connect(list, &QListWidget::itemDoubleClicked, this, [this] { choose(); });
  number->setFocus();
}

bool RechnungSuchenDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn)
    resultsFocused_ = watched == Control<QListWidget>(this, kResultList);
  return QDialog::eventFilter(watched, event);
}

void RechnungSuchenDialog::command(int id) {
  switch (id) {
    case kSearchButton:
      if (resultsFocused_)
        choose();
      else
        search();
      break;
    case 1: choose(); break;
    case 9: frame::ShowHelp(this, 40); break;
    case 2: reject(); break;
    default: break;
  }
}

void RechnungSuchenDialog::search() {
  frame::FieldWriter writer;
  const std::string name = writer.bytes(Control<QLineEdit>(this, kNameField)->text());
  const long number =
      frame::ParseWhole(Control<QLineEdit>(this, kNumberField)->text().toStdString());
  OrderSearchResult result;
  {
    frame::WaitCursor wait(app_.ui);
    result = SearchOrders(app_, number, name);
  }
  if (result.unreadable) {
    QApplication::beep();
    if (app_.ui) app_.ui->message("Zu wenig Speicher !", frame::Icon::Stop);
    done(-1);
    return;
  }
  auto* list = Control<QListWidget>(this, kResultList);
  {
    QSignalBlocker quiet(list);
    list->clear();
    for (const OrderHit& hit : result.hits) {
      auto* item = new QListWidgetItem(frame::FromCp1252(hit.text), list);
      item->setData(Qt::UserRole, hit.position);
    }
  }
  Control<QLabel>(this, kResultLine)
      ->setText(QString::fromStdString(OrderSearchSummary(result)));
  if (result.hits.empty()) {
    if (app_.ui) app_.ui->message("Nicht gefunden!", frame::Icon::Exclamation);
    return;
  }
  byNumberOnly_ = name.empty();
  // The last hit is selected and shown, as each was in its turn.
  list->setCurrentRow(list->count() - 1);
  Control<QPushButton>(this, kSearchButton)->setText(QStringLiteral("OK"));
  list->setFocus();
  resultsFocused_ = true;
}

void RechnungSuchenDialog::choose() {
  // Found by number, the order's customer is looked up by name: the user is
  // told when that address is gone.
  if (byNumberOnly_ && Control<QListWidget>(this, kResultList)->currentItem())
    SelectOrderCustomer(app_);
  done(1);
}

void InstallOrderSearch(frame::FrameWindow& window) {
  auto* pane = qobject_cast<RechnungPane*>(window.pane(frame::PaneSlot::Order));
  if (!pane) return;
  frame::AppState& app = window.state();
  auto showAddress = [&window] {
    if (frame::Pane* addresses = window.pane(frame::PaneSlot::Address)) addresses->refresh();
  };
  pane->setSearchDialog([&app, &window, pane, showAddress] {
    // New work in the pane is offered for saving before a hit replaces it.
    if (!pane->mayReplace()) return;
    auto show = [&app, pane, showAddress](std::int32_t position) {
      app.orders.position = position;
      pane->editor().reload();
      if (SelectAddressAt(app, app.order.customerRef)) app.orderAddress = app.address;
      showAddress();
      pane->refresh();
    };
    RechnungSuchenDialog dialog(app, show, &window);
    const int result = dialog.exec();
    if (result == 0) {
      store::AddressRecord address{};
      if (app.addresses.position >= 0 && store::ReadAddress(app, address, app.addresses.position))
        app.address = address;
      window.sendToPane(frame::PaneSlot::Order, frame::cmd::kAddressChanged);
    }
    showAddress();
  });
}

}  // namespace orders
