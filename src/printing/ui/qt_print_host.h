// The desktop side of printing: the printer dialog (remembering the last
// printer and its settings for as long as the program runs), the abort
// dialog, the preview windows and the job-finished notice.
//
// The main window owns one QtPrintHost; dialogs start their jobs with
// StartPrintJob.
#ifndef BELVON_PRINTING_UI_QT_PRINT_HOST_H
#define BELVON_PRINTING_UI_QT_PRINT_HOST_H

#include <QObject>
#include <QPageLayout>
#include <QPointer>
#include <QPrinter>
#include <QWidget>
#include <functional>
#include <memory>

#include "printing/print_job.h"

namespace printing {

class PreviewWindow;

// The notice a job sends to the cash-desk pane when that pane exists.
inline constexpr int kJobFinishedNotice = 49152;

class QtPrintHost : public QObject, public PrintHost {
  Q_OBJECT
 public:
  // `owner` is the main window (or null): it owns the dialogs and previews
  // and receives the job-finished notice.
  explicit QtPrintHost(QWidget* owner);
  ~QtPrintHost() override;

  // The host of the running program (the last one made that still lives).
  static QtPrintHost* current();

  // ChoosePrinter: the printer dialog without page range and selection,
  // one copy, starting from the printer and settings chosen last.
  std::unique_ptr<QPrinter> runPrinterDialog(const QString& fileName = {});
  // Tests replace the dialog.
  using PrinterChooser = std::function<std::unique_ptr<QPrinter>()>;
  void setPrinterChooser(PrinterChooser chooser) { chooser_ = std::move(chooser); }
  // Settings the next printer dialog starts with.
  void rememberPrinter(const QPrinter& printer);

  // "Als PDF speichern" of the preview asks for the file here; tests
  // replace the file dialog.
  using PdfFileChooser = std::function<QString(const QString& proposed)>;
  void setPdfFileChooser(PdfFileChooser chooser) { pdfChooser_ = std::move(chooser); }
  QString choosePdfFile(const QString& fileName);

  // "Per E-Mail senden" of the preview: which jobs the program can mail,
  // and the mail of one (after the preview closed).
  struct Mailer {
    std::function<bool(int job)> mails;
    std::function<void(const PrintSession& session)> send;
  };
  void setMailer(Mailer mailer) { mailer_ = std::move(mailer); }
  const Mailer& mailer() const { return mailer_; }

  // The order's print dialog, closed after every job while it is open.
  void setOrderPrintDialog(QWidget* dialog) { orderPrintDialog_ = dialog; }
  // Notices go through this when set (tests); otherwise to the main window.
  void setNoticeReceiver(std::function<void()> receiver) { noticeReceiver_ = std::move(receiver); }

  std::unique_ptr<PrinterDevice> choosePrinter(const std::string& fileName) override;
  int screenWidth() const override;
  std::unique_ptr<AbortDialog> openAbortDialog() override;
  void openPreview(frame::AppState& app, const PrintSession& session,
                   std::function<void()> printed) override;
  void jobFinished() override;
  void closeOrderPrintDialog() override;

  // The notice when a preview closes: posted, not sent.
  void postJobFinished();
  QWidget* owner() const { return owner_; }
  PreviewWindow* lastPreview() const;

 private:
  void deliverNotice();

  QPointer<QWidget> owner_;
  PrinterChooser chooser_;
  PdfFileChooser pdfChooser_;
  Mailer mailer_;
  QString lastPdfFolder_;
  std::function<void()> noticeReceiver_;
  QPointer<QWidget> orderPrintDialog_;
  QPointer<PreviewWindow> lastPreview_;
  // The remembered printer settings.
  bool haveSettings_ = false;
  QString printerName_;
  QPrinter::OutputFormat outputFormat_ = QPrinter::NativeFormat;
  QString outputFileName_;
  QPageLayout pageLayout_;
  QPrinter::ColorMode colorMode_ = QPrinter::Color;
  QPrinter::DuplexMode duplex_ = QPrinter::DuplexNone;
};

// The file the printer dialog proposes for a document named `fileName`
// when the last document went into `lastFile`: the new name in the same
// folder. Empty while the last print went to a printer, so that the
// dialog stays on the printer.
QString ProposedOutputFile(const QString& lastFile, const QString& fileName);

// PrintJob with the program's host.
JobEnd StartPrintJob(frame::AppState& app, int job, bool notify, const JobInputs& inputs = {},
                     const std::function<void()>& printed = {});

}  // namespace printing

#endif  // BELVON_PRINTING_UI_QT_PRINT_HOST_H
