#include "receive/ui/eingangsrechnungen_window.h"

#include <QDate>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "core/command_ids.h"
#include "core/dates.h"
#include "core/figures.h"
#include "core/user_interface.h"
#include "einvoice/validation_kit.h"
#include "platform/output_file.h"
#include "printing/job_table.h"
#include "printing/print_job.h"
#include "printing/ui/qt_print_host.h"
#include "receive/official_rules.h"
#include "receive/received_invoice_renderer.h"
#include "widgets/frame_window.h"

namespace receive {

namespace {

enum Column {
  kNumber,
  kSupplier,
  kInvoiceNumber,
  kDate,
  kTotal,
  kDueDate,
  kState,
  kFindings,
  kColumns
};

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

QString TotalText(const frame::AppState& app, const InboxEntry& e) {
  const Amount total = ReadAmount(e.total);
  if (!total.present()) return {};
  return Q(frame::Money(app.figures, total.value, e.currency));
}

}  // namespace

RuleRunner ProgramRuleRunner() {
  const std::string script = einvoice::ValidationKitScript();
  return [script](std::string_view xml, bool xrechnung) {
    return RunOfficialRules(script, xml, xrechnung);
  };
}

EingangsrechnungenWindow::EingangsrechnungenWindow(frame::AppState& app, QWidget* parent)
    : QDialog(parent), app_(app), table_(new QTableWidget(this)) {
  setWindowTitle(QStringLiteral("Eingangsrechnungen"));
  setAttribute(Qt::WA_DeleteOnClose);
  table_->setColumnCount(kColumns);
  table_->setHorizontalHeaderLabels({QStringLiteral("Nr."), QStringLiteral("Lieferant"),
                                     QStringLiteral("Rechnungsnr."), QStringLiteral("Datum"),
                                     QStringLiteral("Gesamt"), QStringLiteral("Fällig am"),
                                     QStringLiteral("Stand"), QStringLiteral("Feststellungen")});
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setStretchLastSection(true);
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { showSelected(); });

  auto* buttons = new QHBoxLayout;
  const struct {
    const char* text;
    const char* name;
    void (EingangsrechnungenWindow::*action)();
  } actions[] = {
      {"&Datei öffnen...", "open", nullptr},
      {"&Anzeigen", "show", &EingangsrechnungenWindow::showSelected},
      {"&Drucken...", "print", &EingangsrechnungenWindow::printSelected},
      {"&Bezahlt...", "paid", &EingangsrechnungenWindow::markSelectedPaid},
      {"Anhang &speichern...", "attachment", &EingangsrechnungenWindow::saveSelectedAttachment},
      {"&PDF öffnen", "pdf", &EingangsrechnungenWindow::openSelectedPdf},
      {"A&ktualisieren", "refresh", &EingangsrechnungenWindow::refresh},
  };
  for (const auto& a : actions) {
    auto* button = new QPushButton(QString::fromUtf8(a.text), this);
    button->setObjectName(QString::fromLatin1(a.name));
    button->setAutoDefault(false);
    buttons->addWidget(button);
    if (a.action)
      connect(button, &QPushButton::clicked, this, a.action);
    else
      connect(button, &QPushButton::clicked, this, [this] {
        const QString path = chooseIncomingFile ? chooseIncomingFile() : QString();
        if (!path.isEmpty()) addFile(path);
      });
  }
  auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_);
  layout->addLayout(buttons);
  layout->addWidget(close);
  resize(980, 460);

  chooseIncomingFile = [this] {
    return QFileDialog::getOpenFileName(
        this, QStringLiteral("E-Rechnung öffnen"), QString(),
        QStringLiteral("E-Rechnungen (*.xml *.pdf *.XML *.PDF);;Alle Dateien (*)"));
  };
  chooseAttachmentTarget = [this](const QString& proposed) {
    return QFileDialog::getSaveFileName(this, QStringLiteral("Anhang speichern"), proposed);
  };
  askPaymentDate = [this](const QString& proposed) {
    bool ok = false;
    const QString date = QInputDialog::getText(this, QStringLiteral("Bezahlt"),
                                               QStringLiteral("Bezahlt am (TT.MM.JJJJ):"),
                                               QLineEdit::Normal, proposed, &ok);
    return ok ? date : QString();
  };
  openInViewer = [](const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
  rules = ProgramRuleRunner();
  refresh();
}

void EingangsrechnungenWindow::tell(const std::string& text, bool problem) {
  if (app_.ui) app_.ui->message(text, problem ? frame::Icon::Stop : frame::Icon::Information);
}

void EingangsrechnungenWindow::refresh() {
  const int keep = selected() ? selected()->id : 0;
  std::string problem;
  if (!ReadInbox(app_, list_, &problem)) tell(problem, true);
  table_->setRowCount(static_cast<int>(list_.entries.size()));
  int row = 0;
  for (const InboxEntry& e : list_.entries) {
    const QString findings =
        e.findings.empty() ? QString()
        : e.findings.size() == 1
            ? Q(e.findings.front())
            : QStringLiteral("%1: %2").arg(e.findings.size()).arg(Q(e.findings.front()));
    const QString cells[kColumns] = {
        QString::number(e.id),
        Q(e.seller),
        Q(e.number),
        Q(e.issueDate),
        TotalText(app_, e),
        Q(e.dueDate),
        e.paidOn.empty() ? QStringLiteral("offen") : QStringLiteral("bezahlt am ") + Q(e.paidOn),
        findings};
    for (int c = 0; c < kColumns; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (c == kTotal) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (c == kFindings && !e.findings.empty()) {
        item->setForeground(QColor(190, 0, 0));
        QStringList all;
        for (const std::string& f : e.findings) all << Q(f);
        item->setToolTip(all.join(QStringLiteral("\n")));
      }
      table_->setItem(row, c, item);
    }
    ++row;
  }
  table_->resizeColumnsToContents();
  if (keep) select(keep);
}

bool EingangsrechnungenWindow::select(int id) {
  for (int row = 0; row < table_->rowCount(); ++row)
    if (table_->item(row, kNumber)->text() == QString::number(id)) {
      table_->selectRow(row);
      return true;
    }
  return false;
}

const InboxEntry* EingangsrechnungenWindow::selected() const {
  const QList<QTableWidgetItem*> items = table_->selectedItems();
  if (items.isEmpty()) return nullptr;
  const QTableWidgetItem* number = table_->item(items.front()->row(), kNumber);
  return number ? list_.find(number->text().toInt()) : nullptr;
}

bool EingangsrechnungenWindow::addFile(const QString& path) {
  AddOutcome outcome;
  {
    frame::WaitCursor wait(app_.ui);
    outcome = AddToInbox(app_, path.toStdString(), rules);
  }
  refresh();
  if (outcome.result != AddResult::Kept) {
    tell(outcome.message, true);
    return false;
  }
  select(outcome.entry.id);
  std::string text = "Die Rechnung " + outcome.entry.number + " von " + outcome.entry.seller +
                     " ist als Eingangsrechnung " + std::to_string(outcome.entry.id) + " abgelegt.";
  if (outcome.entry.findings.empty())
    text += " Die Prüfung hat nichts festgestellt.";
  else
    for (const std::string& f : outcome.entry.findings) text += "\n• " + f;
  tell(text, false);
  return true;
}

bool EingangsrechnungenWindow::selectedSession(printing::PrintSession& session) {
  refresh();
  const InboxEntry* entry = selected();
  if (!entry || !printing::QtPrintHost::current()) return false;
  session.job = kJobReceivedInvoice;
  session.inputs.printDate = orders::FormatDate(*app_.clock);
  session.inputs.incomingId = entry->id;
  return true;
}

void EingangsrechnungenWindow::showSelected() {
  printing::PrintSession session;
  if (!selectedSession(session)) return;
  printing::QtPrintHost* host = printing::QtPrintHost::current();
  session.view.zoom = printing::StartZoom(host->screenWidth());
  host->openPreview(app_, session, {});
}

void EingangsrechnungenWindow::printSelected() {
  printing::PrintSession session;
  if (!selectedSession(session)) return;
  printing::QtPrintHost* host = printing::QtPrintHost::current();
  std::unique_ptr<printing::PrinterDevice> printer =
      host->choosePrinter(printing::DocumentFileName(app_, session));
  if (!printer) return;
  frame::WaitCursor wait(app_.ui);
  if (!printing::PrintOnDevice(app_, *printer, session, {}, nullptr))
    tell(printing::kPrintFailedMessage, true);
}

void EingangsrechnungenWindow::markSelectedPaid() {
  refresh();
  const InboxEntry* entry = selected();
  if (!entry) return;
  const int id = entry->id;
  const QString typed =
      askPaymentDate ? askPaymentDate(Q(orders::FormatDate(*app_.clock))) : QString();
  if (typed.isEmpty()) return;
  const std::string date = orders::EnteredDate(typed.toStdString());
  if (date.empty()) {
    tell("„" + typed.toStdString() + "“ ist kein Datum (TT.MM.JJJJ).", true);
    return;
  }
  std::string message;
  if (!MarkPaid(app_, id, date, message)) tell(message, true);
  refresh();
}

void EingangsrechnungenWindow::saveSelectedAttachment() {
  refresh();
  const InboxEntry* entry = selected();
  if (!entry) return;
  const OpenedInvoice opened = OpenKept(app_, *entry);
  if (!opened.ok) {
    tell(opened.message, true);
    return;
  }
  const std::vector<Attachment>& attachments = opened.invoice.attachments;
  QStringList names;
  std::vector<std::size_t> saveable;
  for (std::size_t i = 0; i < attachments.size(); ++i)
    if (!attachments[i].content.empty()) {
      names << Q(AttachmentFileName(attachments[i], i));
      saveable.push_back(i);
    }
  if (saveable.empty()) {
    tell("Die Rechnung " + entry->number + " enthält keine angehängten Dokumente.", false);
    return;
  }
  std::size_t chosen = saveable.front();
  if (saveable.size() > 1) {
    bool ok = false;
    const QString name =
        QInputDialog::getItem(this, QStringLiteral("Anhang speichern"),
                              QStringLiteral("Angehängtes Dokument:"), names, 0, false, &ok);
    if (!ok) return;
    chosen = saveable[static_cast<std::size_t>(names.indexOf(name))];
  }
  const Attachment& attachment = attachments[chosen];
  const QString target = chooseAttachmentTarget
                             ? chooseAttachmentTarget(Q(AttachmentFileName(attachment, chosen)))
                             : QString();
  if (target.isEmpty()) return;
  if (!platform::WriteOutputFile(*app_.fileSystem, target.toStdString(), attachment.content))
    tell(platform::OutputFailureText(target.toStdString()), true);
}

void EingangsrechnungenWindow::openSelectedPdf() {
  refresh();
  const InboxEntry* entry = selected();
  if (!entry) return;
  if (entry->format != "PDF/CII") {
    tell("Die Eingangsrechnung " + std::to_string(entry->id) + " kam als XML-Datei, nicht als PDF.",
         false);
    return;
  }
  // The viewer gets the kept file only when it is still the one received.
  if (!OpenKept(app_, *entry).ok) {
    tell(OpenKept(app_, *entry).message, true);
    return;
  }
  if (openInViewer) openInViewer(Q(KeptPath(app_, *entry)));
}

namespace {

EingangsrechnungenWindow* OpenWindow(frame::FrameWindow& window) {
  static QPointer<EingangsrechnungenWindow> open;
  if (!open) open = new EingangsrechnungenWindow(window.state(), &window);
  open->show();
  open->raise();
  open->activateWindow();
  return open;
}

}  // namespace

void InstallIncomingCommands(frame::FrameWindow& window) {
  window.setCommandHandler(frame::cmd::kIncomingInvoices, [&window] { OpenWindow(window); });
}

void OpenIncomingFile(frame::FrameWindow& window, const QString& path) {
  OpenWindow(window)->addFile(path);
}

}  // namespace receive
