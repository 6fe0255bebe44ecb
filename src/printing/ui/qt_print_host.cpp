#include "printing/ui/qt_print_host.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMetaObject>
#include <QPrintDialog>
#include <QScreen>

#include "widgets/frame_window.h"
#include "widgets/pane.h"
#include "printing/ui/preview_window.h"
#include "printing/ui/printdlg_dialog.h"
#include "printing/ui/printer_devices.h"

namespace printing {

namespace {

QPointer<QtPrintHost>& CurrentHost() {
  static QPointer<QtPrintHost> host;
  return host;
}

class QtAbortDialog : public AbortDialog {
 public:
  explicit QtAbortDialog(QWidget* owner) : dialog_(new PrintDlgDialog(owner)) {
    dialog_->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog_->show();
    QCoreApplication::processEvents();
  }
  ~QtAbortDialog() override { delete dialog_; }
  bool aborted() override { return dialog_ && dialog_->userAbort(); }
  bool progress(int percent) override { return dialog_ ? dialog_->progress(percent) : false; }

 private:
  QPointer<PrintDlgDialog> dialog_;
};

}  // namespace

QtPrintHost::QtPrintHost(QWidget* owner) : QObject(owner), owner_(owner) {
  CurrentHost() = this;
}

QtPrintHost::~QtPrintHost() = default;

QtPrintHost* QtPrintHost::current() { return CurrentHost().data(); }

PreviewWindow* QtPrintHost::lastPreview() const { return lastPreview_.data(); }

void QtPrintHost::rememberPrinter(const QPrinter& printer) {
  haveSettings_ = true;
  printerName_ = printer.printerName();
  outputFormat_ = printer.outputFormat();
  outputFileName_ = printer.outputFileName();
  pageLayout_ = printer.pageLayout();
  colorMode_ = printer.colorMode();
  duplex_ = printer.duplex();
}

QString ProposedOutputFile(const QString& lastFile, const QString& fileName) {
  if (lastFile.isEmpty() || fileName.isEmpty()) return lastFile;
  return QFileInfo(lastFile).absoluteDir().filePath(fileName);
}

std::unique_ptr<QPrinter> QtPrintHost::runPrinterDialog(const QString& fileName) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  // The dialog makes its proposal for a file from the document name when
  // there is no file yet.
  if (!fileName.isEmpty()) printer->setDocName(fileName);
  if (haveSettings_) {
    if (outputFormat_ == QPrinter::PdfFormat) {
      printer->setOutputFormat(QPrinter::PdfFormat);
    } else if (!printerName_.isEmpty()) {
      printer->setPrinterName(printerName_);
    }
    printer->setOutputFileName(ProposedOutputFile(outputFileName_, fileName));
    printer->setPageLayout(pageLayout_);
    printer->setColorMode(colorMode_);
    printer->setDuplex(duplex_);
  }
  printer->setCopyCount(1);
  QPrintDialog dialog(printer.get(), owner_);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
  if (dialog.exec() != QDialog::Accepted) return nullptr;
  if (!printer->isValid()) return nullptr;
  rememberPrinter(*printer);
  return printer;
}

std::unique_ptr<PrinterDevice> QtPrintHost::choosePrinter(const std::string& fileName) {
  std::unique_ptr<QPrinter> printer =
      chooser_ ? chooser_() : runPrinterDialog(QString::fromStdString(fileName));
  if (!printer) return nullptr;
  return std::make_unique<QtPrinterDevice>(std::move(printer));
}

QString QtPrintHost::choosePdfFile(const QString& fileName) {
  if (pdfChooser_) return pdfChooser_(fileName);
  const QString folder = lastPdfFolder_.isEmpty() ? QDir::homePath() : lastPdfFolder_;
  const QString path = QFileDialog::getSaveFileName(owner_, QStringLiteral("Als PDF speichern"),
                                                    QDir(folder).filePath(fileName),
                                                    QStringLiteral("PDF (*.pdf)"));
  if (!path.isEmpty()) lastPdfFolder_ = QFileInfo(path).absolutePath();
  return path;
}

int QtPrintHost::screenWidth() const {
  QScreen* screen = owner_ ? owner_->screen() : QGuiApplication::primaryScreen();
  return screen ? screen->geometry().width() : 1024;
}

std::unique_ptr<AbortDialog> QtPrintHost::openAbortDialog() {
  return std::make_unique<QtAbortDialog>(owner_);
}

void QtPrintHost::openPreview(frame::AppState& app, const PrintSession& session,
                              std::function<void()> printed) {
  auto* preview = new PreviewWindow(app, *this, session, owner_);
  preview->onPrinted(std::move(printed));
  lastPreview_ = preview;
  preview->start();
}

void QtPrintHost::deliverNotice() {
  if (noticeReceiver_) {
    noticeReceiver_();
    return;
  }
  auto* window = qobject_cast<frame::FrameWindow*>(owner_.data());
  if (!window) return;
  if (window->pane(frame::PaneSlot::CashDesk))
    window->sendToPane(frame::PaneSlot::CashDesk, kJobFinishedNotice);
  else
    window->jobFinished();
}

void QtPrintHost::jobFinished() {
  // After a direct print the cash-desk pane is told at once; the main
  // window's notice is always posted.
  auto* window = qobject_cast<frame::FrameWindow*>(owner_.data());
  if (noticeReceiver_ || (window && window->pane(frame::PaneSlot::CashDesk)))
    deliverNotice();
  else
    postJobFinished();
}

void QtPrintHost::postJobFinished() {
  QMetaObject::invokeMethod(this, [this] { deliverNotice(); }, Qt::QueuedConnection);
}

void QtPrintHost::closeOrderPrintDialog() {
  if (QWidget* dialog = orderPrintDialog_.data()) {
    QPointer<QWidget> target = dialog;
    QMetaObject::invokeMethod(
        dialog,
        [target] {
          if (auto* d = qobject_cast<QDialog*>(target.data()))
            d->reject();
          else if (target)
            target->close();
        },
        Qt::QueuedConnection);
  }
}

JobEnd StartPrintJob(frame::AppState& app, int job, bool notify, const JobInputs& inputs,
                     const std::function<void()>& printed) {
  QtPrintHost* host = QtPrintHost::current();
  // Without a main window (a tool run on its own) one ownerless host serves.
  if (!host) host = new QtPrintHost(nullptr);
  return PrintJob(app, *host, job, notify, inputs, printed);
}

}  // namespace printing
