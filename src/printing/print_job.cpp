#include "printing/print_job.h"

#include "core/status_line.h"

#include "core/user_interface.h"
#include "printing/job_table.h"

namespace printing {

namespace {

// While a direct print runs the renderers' progress goes into the abort
// dialog; messages and questions still go to the user as before.
class AbortDialogUi : public frame::UserInterface {
 public:
  AbortDialogUi(frame::UserInterface* inner, AbortDialog& dialog)
      : inner_(inner), dialog_(dialog) {}
  void message(const std::string& text, frame::Icon icon) override {
    if (inner_) inner_->message(text, icon);
  }
  bool question(const std::string& text, frame::Icon icon, bool defaultNo) override {
    return inner_ ? inner_->question(text, icon, defaultNo) : false;
  }
  bool confirm(const std::string& text, frame::Icon icon) override {
    return inner_ ? inner_->confirm(text, icon) : false;
  }
  bool retryBusyFile(const std::string& path) override {
    return inner_ ? inner_->retryBusyFile(path) : false;
  }
  void beginWait() override {
    if (inner_) inner_->beginWait();
  }
  void endWait() override {
    if (inner_) inner_->endWait();
  }
  bool progress(int percent) override { return dialog_.progress(percent); }

 private:
  frame::UserInterface* inner_;
  AbortDialog& dialog_;
};

class SwapUi {
 public:
  SwapUi(frame::AppState& app, frame::UserInterface* replacement) : app_(app), saved_(app.ui) {
    if (replacement) app_.ui = replacement;
  }
  ~SwapUi() { app_.ui = saved_; }

 private:
  frame::AppState& app_;
  frame::UserInterface* saved_;
};

}  // namespace

bool PrintOnDevice(frame::AppState& app, PrinterDevice& printer, PrintSession& session,
                   const std::function<bool()>& userAbort, AbortDialog* progressTo,
                   const std::function<void(const std::string&)>& warningSink) {
  std::unique_ptr<PageRenderer> renderer = MakeRenderer(session.job);
  return PrintOnDevice(app, printer, session, *renderer, userAbort, progressTo, warningSink);
}

bool PrintOnDevice(frame::AppState& app, PrinterDevice& printer, PrintSession& session,
                   PageRenderer& renderer, const std::function<bool()>& userAbort,
                   AbortDialog* progressTo,
                   const std::function<void(const std::string&)>& warningSink) {
  session.view.targetPage = kPrintAllPages;
  PrinterInfo info = ApplyA5Rule(printer.info(), app.parameters.ordersOnA5 != 0);
  auto aborted = [&userAbort] { return userAbort && userAbort(); };
  // What the PDF could not carry (its e-invoice) is said in the status
  // line: the print dialog told it before, and a box for every invoice
  // would only be clicked away.
  if (printer.writesPdf())
    printer.setPdfFinish(
        PdfFinishFor(app, session, [&app](const std::string& text) { frame::Note(app.ui, text); }));
  Canvas* canvas = printer.beginDocument(kDocumentName, aborted);
  if (!canvas) return false;

  std::unique_ptr<AbortDialogUi> progressUi;
  if (progressTo) progressUi = std::make_unique<AbortDialogUi>(app.ui, *progressTo);
  {
    SwapUi swap(app, progressUi.get());
    RenderContext context(app, session);
    context.warningSink = warningSink;
    if (canvas->startPage()) {
      renderer.render(*canvas, PrintingGeometry(info), context);
      canvas->endPage();
    }
  }
  if (aborted()) {
    printer.abortDocument();
    return false;
  }
  return printer.endDocument();
}

JobEnd PrintJob(frame::AppState& app, PrintHost& host, int job, bool notify,
                const JobInputs& inputs, const std::function<void()>& printed) {
  PrintSession session;
  session.job = job;
  session.notify = notify;
  session.inputs = inputs;
  session.view.zoom = StartZoom(host.screenWidth());
  JobEnd end = JobEnd::Previewing;
  {
    frame::WaitCursor wait(app.ui);
    if (!app.parameters.printPreview || app.cashDeskMode) {
      end = JobEnd::NoPrinter;
      if (std::unique_ptr<PrinterDevice> printer = host.choosePrinter(DocumentFileName(app, session))) {
        std::unique_ptr<AbortDialog> dialog = host.openAbortDialog();
        AbortDialog* progress = dialog.get();
        auto aborted = [progress] { return progress && progress->aborted(); };
        if (PrintOnDevice(app, *printer, session, aborted, progress))
          end = JobEnd::Printed;
        else
          end = aborted() ? JobEnd::Aborted : JobEnd::Failed;
      }
      if (end == JobEnd::Failed && app.ui) app.ui->message(kPrintFailedMessage, frame::Icon::Stop);
      if (end == JobEnd::Printed && printed) printed();
      if (notify) host.jobFinished();
    } else {
      host.openPreview(app, session, printed);
    }
  }
  host.closeOrderPrintDialog();
  return end;
}

}  // namespace printing
