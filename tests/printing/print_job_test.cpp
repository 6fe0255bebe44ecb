// PrintJob's flow: preview or direct print, the printer dialog, the abort
// dialog, the job-finished notice and the order print dialog.
#include <gtest/gtest.h>

#include "printing/print_job.h"
#include "printing/recording_canvas.h"
#include "printing_fixture.h"
#include "support/scripted_ui.h"

namespace printing {
namespace {

using Kind = RecordingCanvas::Kind;

struct Events {
  std::vector<std::string> log;
  RecordingCanvas canvas;
  bool abortNow = false;
  int abortAtPercent = -1;
};

class FakePrinter : public PrinterDevice {
 public:
  FakePrinter(Events& events, bool startFails, bool endFails = false)
      : events_(events), startFails_(startFails), endFails_(endFails) {}
  ~FakePrinter() override { events_.log.push_back("release printer"); }
  PrinterInfo info() const override { return {200, 287, 4724, 6779}; }
  Canvas* beginDocument(const std::string& name, std::function<bool()>) override {
    events_.log.push_back("start doc " + name);
    return startFails_ ? nullptr : &events_.canvas;
  }
  bool endDocument() override {
    events_.log.push_back("end doc");
    return !endFails_;
  }
  void abortDocument() override { events_.log.push_back("abort doc"); }

 private:
  Events& events_;
  bool startFails_;
  bool endFails_;
};

class FakeAbortDialog : public AbortDialog {
 public:
  explicit FakeAbortDialog(Events& events) : events_(events) { events_.log.push_back("dialog"); }
  ~FakeAbortDialog() override { events_.log.push_back("dialog gone"); }
  bool aborted() override { return events_.abortNow; }
  bool progress(int percent) override {
    events_.log.push_back("progress " + std::to_string(percent));
    if (percent == events_.abortAtPercent) events_.abortNow = true;
    return events_.abortNow;
  }

 private:
  Events& events_;
};

class FakeHost : public PrintHost {
 public:
  explicit FakeHost(Events& events) : events_(events) {}
  std::unique_ptr<PrinterDevice> choosePrinter(const std::string& fileName) override {
    events_.log.push_back("printer dialog");
    fileNames.push_back(fileName);
    if (cancelDialog) return nullptr;
    return std::make_unique<FakePrinter>(events_, startFails, endFails);
  }
  int screenWidth() const override { return screen; }
  std::unique_ptr<AbortDialog> openAbortDialog() override {
    return std::make_unique<FakeAbortDialog>(events_);
  }
  void openPreview(frame::AppState&, const PrintSession& session,
                   std::function<void()> printed) override {
    events_.log.push_back("preview");
    previewed = session;
    previewPrinted = std::move(printed);
  }
  void jobFinished() override { events_.log.push_back("notice"); }
  void closeOrderPrintDialog() override { events_.log.push_back("close order dialog"); }

  bool cancelDialog = false;
  std::vector<std::string> fileNames;  // proposed to each printer dialog
  bool startFails = false;
  bool endFails = false;
  int screen = 1280;
  PrintSession previewed;
  std::function<void()> previewPrinted;

 private:
  Events& events_;
};

// Reports progress twice and draws a line after each report, stopping when
// the user cancels, as the record walks do.
class ProgressRenderer : public PageRenderer {
 public:
  RenderOutcome render(Canvas& canvas, const PageGeometry&, RenderContext& context) override {
    for (int percent : {50, 100}) {
      if (context.app.ui->progress(percent)) return {};
      canvas.textOut(0, 0, std::to_string(percent));
    }
    return {};
  }
};

class PrintJobTest : public ::testing::Test {
 protected:
  PrintJobTest() : host(events) {
    app.ui = &ui;
    app.parameters = printingtest::SampleParameters();
  }
  testsupport::ScriptedUi ui;
  frame::AppState app;
  Events events;
  FakeHost host;
};

// Every document is proposed a file name of its own, never the file the
// last document went into.
TEST_F(PrintJobTest, EachDocumentIsProposedItsOwnFileName) {
  JobInputs inputs;
  inputs.printDate = "06.12.2026";
  app.parameters.printPreview = 0;
  host.cancelDialog = true;
  app.order.orderNumber = 126120001;
  PrintJob(app, host, 3, false);
  app.order.orderNumber = 126120002;
  PrintJob(app, host, 3, false);
  app.order.total = -500;
  PrintJob(app, host, 3, false);
  PrintJob(app, host, 2, false);
  PrintJob(app, host, 16, false, inputs);
  PrintJob(app, host, 8, false);
  EXPECT_EQ(host.fileNames,
            (std::vector<std::string>{"Rechnung-126120001.pdf", "Rechnung-126120002.pdf",
                                      "Gutschrift-126120002.pdf", "Lieferschein-126120002.pdf",
                                      "Mahnungen-06.12.2026.pdf", "Rechnungsausgangsbuch.pdf"}));
}

// How a job ends, and that only a job really printed says so: the printer
// dialog cancelled, StartDoc failing, the printer failing on the document,
// the user aborting, a preview (which the cash desk skips). A printed order is laid out for A5 when set so.
TEST_F(PrintJobTest, EveryJobReportsHowItEndedAndOnlyAPrintedOneSaysPrinted) {
  app.parameters.ordersOnA5 = 1;
  host.screen = 640;
  const std::vector<std::string> printed = {
      "printer dialog", "dialog",          "start doc Belvon - 2.0", "end doc",
      "dialog gone",    "release printer", "notice",                 "close order dialog"};
  std::vector<std::string> silent = printed;
  silent.erase(silent.begin() + 6);
  const struct {
    const char* name;
    bool cancel, startFails, endFails, abort, preview, cashDesk, notify;
    JobEnd end;
    std::vector<std::string> log;
  } cases[] = {
      {"printed", false, false, false, false, false, false, true, JobEnd::Printed, printed},
      {"without notice", false, false, false, false, false, false, false, JobEnd::Printed, silent},
      {"cash desk", false, false, false, false, true, true, true, JobEnd::Printed, printed},
      {"printer dialog cancelled", true, false, false, false, false, false, true, JobEnd::NoPrinter,
       {"printer dialog", "notice", "close order dialog"}},
      {"StartDoc fails", false, true, false, false, false, false, true, JobEnd::Failed,
       {"printer dialog", "dialog", "start doc Belvon - 2.0", "dialog gone", "release printer",
        "notice", "close order dialog"}},
      {"printer fails", false, false, true, false, false, false, true, JobEnd::Failed,
       {"printer dialog", "dialog", "start doc Belvon - 2.0", "end doc", "dialog gone",
        "release printer", "notice", "close order dialog"}},
      {"aborted", false, false, false, true, false, false, true, JobEnd::Aborted,
       {"printer dialog", "dialog", "start doc Belvon - 2.0", "abort doc", "dialog gone",
        "release printer", "notice", "close order dialog"}},
      {"preview", false, false, false, false, true, false, true, JobEnd::Previewing,
       {"preview", "close order dialog"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    app.parameters.printPreview = c.preview;
    app.cashDeskMode = c.cashDesk;
    host.cancelDialog = c.cancel;
    host.startFails = c.startFails;
    host.endFails = c.endFails;
    ui.shown.clear();
    events.abortNow = c.abort;
    events.log.clear();
    int done = 0;
    EXPECT_EQ(PrintJob(app, host, 10, c.notify, {"", "Text"}, [&done] { ++done; }),
              c.end);
    EXPECT_EQ(events.log, c.log);
    EXPECT_EQ(done, c.end == JobEnd::Printed ? 1 : 0);
    EXPECT_EQ(ui.texts(), c.end == JobEnd::Failed ? std::vector<std::string>{kPrintFailedMessage}
                                                  : std::vector<std::string>{});
    EXPECT_EQ(ui.waitDepth, 0);
    if (c.end == JobEnd::Printed) {
      const auto* date = events.canvas.findText("Datum: ");
      ASSERT_NE(date, nullptr);
      EXPECT_EQ(date->mapping.windowWidth, 2000);
      EXPECT_EQ(date->mapping.viewportWidth, 3326);  // 4724 / 1.42
      EXPECT_EQ(date->mapping.viewportHeight, 4773);
    }
    if (c.end != JobEnd::Previewing) continue;
    EXPECT_EQ(host.previewed.job, 10);
    EXPECT_TRUE(host.previewed.notify);
    EXPECT_EQ(host.previewed.view.zoom, 2);
    EXPECT_EQ(host.previewed.inputs.letterText, "Text");
    host.previewPrinted();  // the preview says so when it prints
    EXPECT_EQ(done, 1);
  }
}

TEST_F(PrintJobTest, ProgressGoesToTheAbortDialogAndCancellingThrowsTheDocumentAway) {
  PrintSession session;
  session.job = 10;
  FakePrinter printer(events, false);
  FakeAbortDialog dialog(events);
  ProgressRenderer renderer;
  events.abortAtPercent = 50;
  events.log.clear();
  EXPECT_FALSE(PrintOnDevice(app, printer, session, renderer, [&] { return dialog.aborted(); },
                             &dialog));
  EXPECT_EQ(events.log, (std::vector<std::string>{"start doc Belvon - 2.0", "progress 50",
                                                  "abort doc"}));
  EXPECT_TRUE(ui.progressValues.empty());
  EXPECT_TRUE(events.canvas.texts().empty());
  EXPECT_EQ(app.ui, &ui);  // the user's interface is back
  EXPECT_EQ(session.view.targetPage, kPrintAllPages);
}

}  // namespace
}  // namespace printing
