// The preview "Druckvorschau": the job's page drawn by its renderer, opened
// before any printer is chosen on the size of an A4 sheet, the whole page
// fitted into the window. Buttons: "Drucken" (the printer dialog the first
// time, then the printer chosen), "Als PDF speichern", "Per E-Mail senden"
// (where the program can mail the document), "Schließen", the previous and
// next page, and the zoom. The keys stay: Page Up/Down page, End/Home and
// the keypad's plus/minus zoom (1 to 20 pixels per millimetre), the arrows
// move the sheet by 128 pixels, Esc closes. A left click on the sheet
// prints, a right click closes; closing sends the job-finished notice once.
// What was printed or saved is said in the status line.
#ifndef BELVON_PRINTING_UI_PREVIEW_WINDOW_H
#define BELVON_PRINTING_UI_PREVIEW_WINDOW_H

#include <QLabel>
#include <QWidget>
#include <functional>
#include <memory>

#include "store/app_state.h"
#include "printing/page_renderer.h"
#include "printing/print_job.h"

namespace printing {

class QtPrintHost;
class PreviewSheet;

class PreviewWindow : public QWidget {
  Q_OBJECT
 public:
  // The ids of the buttons (property "id").
  enum Button {
    kPrintButton = 1,
    kPdfButton = 2,
    kMailButton = 3,
    kCloseButton = 4,
    kPreviousButton = 5,
    kNextButton = 6,
    kZoomOutButton = 7,
    kZoomInButton = 8,
    kFitButton = 9,
  };

  PreviewWindow(frame::AppState& app, QtPrintHost& host, const PrintSession& session,
                QWidget* owner);
  ~PreviewWindow() override;

  // Shows the first page; the printer is chosen when the user prints.
  void start();
  // Called each time the document was printed (or saved as PDF) from here.
  void onPrinted(std::function<void()> printed) { onPrinted_ = std::move(printed); }

  const PrintSession& session() const { return session_; }
  const PrinterInfo& pageInfo() const { return info_; }
  bool hasPrinter() const { return printer_ != nullptr; }
  int documentsPrinted() const { return printed_; }
  // The last page drawn and whether more would follow.
  const RenderOutcome& lastOutcome() const { return outcome_; }
  // The sheet as drawn: its size in pixels and where it stands.
  QWidget* sheet() const;
  // True while the whole page is fitted into the window (until a zoom).
  bool fitted() const { return fitted_; }

 public slots:
  void printDocument();
  void savePdf();
  void mailDocument();
  void closePreview();
  // The id of a button: what a click on it does.
  void command(int id);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  friend class PreviewSheet;
  void place();
  void finish();
  void paintSheet(QPainter& painter);
  void sheetClicked(Qt::MouseButton button);
  // Sheet size in pixels at the current zoom, or fitted into the window.
  QSize sheetSize() const;
  void printed(const std::string& said);

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
  bool fitted_ = true;
  QWidget* area_ = nullptr;
  PreviewSheet* sheet_ = nullptr;
  QLabel* pageLabel_ = nullptr;
};

}  // namespace printing

#endif  // BELVON_PRINTING_UI_PREVIEW_WINDOW_H
