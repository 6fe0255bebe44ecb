// The preview "Druckvorschau": the job's page drawn by its renderer at
// PreviewZoom pixels per millimetre. Page Up/Down page, End/Home and the
// keypad's plus/minus zoom (1 to 20), the arrows move the sheet by 128
// pixels, Esc closes. A left click prints on the printer chosen when the
// preview opened; a right click closes it and sends the job-finished notice.
#ifndef BELVON_PRINTING_UI_PREVIEW_WINDOW_H
#define BELVON_PRINTING_UI_PREVIEW_WINDOW_H

#include <QWidget>
#include <functional>
#include <memory>

#include "store/app_state.h"
#include "printing/page_renderer.h"
#include "printing/print_job.h"

namespace printing {

class QtPrintHost;

class PreviewWindow : public QWidget {
  Q_OBJECT
 public:
  PreviewWindow(frame::AppState& app, QtPrintHost& host, const PrintSession& session,
                QWidget* owner);
  ~PreviewWindow() override;

  // ChoosePrinter and show; without a printer the window closes at once.
  void start();
  // Called each time the document was printed from here.
  void onPrinted(std::function<void()> printed) { onPrinted_ = std::move(printed); }

  const PrintSession& session() const { return session_; }
  const PrinterInfo& pageInfo() const { return info_; }
  bool hasPrinter() const { return printer_ != nullptr; }
  int documentsPrinted() const { return printed_; }
  // The last page drawn and whether more would follow.
  const RenderOutcome& lastOutcome() const { return outcome_; }

 public slots:
  void printDocument();
  void closePreview();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void place();
  void finish();

  frame::AppState& app_;
  QtPrintHost& host_;
  PrintSession session_;
  RenderContext context_;
  std::unique_ptr<PageRenderer> renderer_;
  std::unique_ptr<PrinterDevice> printer_;
  PrinterInfo info_;
  RenderOutcome outcome_;
  int printed_ = 0;
  std::function<void()> onPrinted_;
  bool finished_ = false;
};

}  // namespace printing

#endif  // BELVON_PRINTING_UI_PREVIEW_WINDOW_H
