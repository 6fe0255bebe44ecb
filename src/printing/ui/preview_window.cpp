#include "printing/ui/preview_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>
#include <set>

#include "core/status_line.h"
#include "core/user_interface.h"
#include "printing/job_table.h"
#include "printing/ui/printer_devices.h"
#include "printing/ui/qt_canvas.h"
#include "printing/ui/qt_print_host.h"

namespace printing {

namespace {

PreviewKey KeyOf(const QKeyEvent* event) {
  const bool keypad = event->modifiers() & Qt::KeypadModifier;
  switch (event->key()) {
    case Qt::Key_Escape: return PreviewKey::Escape;
    case Qt::Key_PageUp: return PreviewKey::PageUp;
    case Qt::Key_PageDown: return PreviewKey::PageDown;
    case Qt::Key_End: return PreviewKey::ZoomIn;
    case Qt::Key_Home: return PreviewKey::ZoomOut;
    case Qt::Key_Plus: return keypad ? PreviewKey::ZoomIn : PreviewKey::Other;
    case Qt::Key_Minus: return keypad ? PreviewKey::ZoomOut : PreviewKey::Other;
    case Qt::Key_Left: return PreviewKey::Left;
    case Qt::Key_Right: return PreviewKey::Right;
    case Qt::Key_Up: return PreviewKey::Up;
    case Qt::Key_Down: return PreviewKey::Down;
    default: return PreviewKey::Other;
  }
}

// The page before a printer is chosen: an A4 sheet less the 5 mm every
// PDF of the program keeps free, as "Als PDF speichern" writes it.
constexpr PrinterInfo kSheetBeforeAnyPrinter{200, 287, 0, 0};
// Room round the sheet in the window.
constexpr int kSheetMargin = 8;

}  // namespace

// The sheet itself: drawn by the renderer, clicked to print or close.
class PreviewSheet : public QWidget {
 public:
  explicit PreviewSheet(PreviewWindow& window, QWidget* parent)
      : QWidget(parent), window_(window) {
    setObjectName(QStringLiteral("PreviewSheet"));
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    setCursor(Qt::ArrowCursor);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    window_.paintSheet(painter);
  }
  void mousePressEvent(QMouseEvent* event) override { window_.sheetClicked(event->button()); }

 private:
  PreviewWindow& window_;
};

PreviewWindow::PreviewWindow(frame::AppState& app, QtPrintHost& host, const PrintSession& session,
                             QWidget* owner)
    : QWidget(owner, Qt::Window),
      app_(app),
      host_(host),
      session_(session),
      context_(app, session_),
      renderer_(MakeRenderer(session.job)),
      info_(kSheetBeforeAnyPrinter) {
  setAttribute(Qt::WA_DeleteOnClose);
  // The preview holds mouse and keyboard while it is open: nothing can start
  // other work on the order that its closing reads back.
  setWindowModality(Qt::ApplicationModal);
  setWindowTitle(QStringLiteral("Druckvorschau"));
  setObjectName(QStringLiteral("PreviewClass"));
  setFocusPolicy(Qt::StrongFocus);

  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(4, 4, 4, 4);
  auto* bar = new QHBoxLayout;
  auto button = [&](int id, const QString& text, const QString& tip = {}) {
    auto* b = new QPushButton(text, this);
    b->setProperty("id", id);
    if (!tip.isEmpty()) b->setToolTip(tip);
    // The keys belong to the preview, not to a button.
    b->setFocusPolicy(Qt::NoFocus);
    connect(b, &QPushButton::clicked, this, [this, id] { command(id); });
    bar->addWidget(b);
    return b;
  };
  button(kPrintButton, QStringLiteral("&Drucken"), QStringLiteral("Linke Maustaste auf der Seite"));
  button(kPdfButton, QStringLiteral("Als &PDF speichern"));
  const bool mails = host_.mailer().mails && host_.mailer().mails(session_.job);
  button(kMailButton, QStringLiteral("Per &E-Mail senden"))->setVisible(mails);
  button(kCloseButton, QStringLiteral("&Schließen"), QStringLiteral("Esc, rechte Maustaste"));
  bar->addSpacing(16);
  button(kPreviousButton, QStringLiteral("◀"), QStringLiteral("Vorige Seite (Bild auf)"));
  pageLabel_ = new QLabel(this);
  bar->addWidget(pageLabel_);
  button(kNextButton, QStringLiteral("▶"), QStringLiteral("Nächste Seite (Bild ab)"));
  bar->addSpacing(16);
  button(kZoomOutButton, QStringLiteral("−"), QStringLiteral("Verkleinern (Pos1)"));
  button(kZoomInButton, QStringLiteral("+"), QStringLiteral("Vergrößern (Ende)"));
  button(kFitButton, QStringLiteral("Ganze Seite"));
  bar->addStretch(1);
  top->addLayout(bar);
  area_ = new QWidget(this);
  area_->setObjectName(QStringLiteral("PreviewArea"));
  QPalette grey = area_->palette();
  grey.setColor(QPalette::Window, QColor(128, 128, 128));
  area_->setPalette(grey);
  area_->setAutoFillBackground(true);
  top->addWidget(area_, 1);
  sheet_ = new PreviewSheet(*this, area_);

  // Never a message box from inside a paint: warnings are shown right after,
  // each once for the window, whether it came from a repaint or from
  // printing the document.
  context_.warningSink = [this, told = std::make_shared<std::set<std::string>>()](
                             const std::string& text) {
    if (!told->insert(text).second) return;
    QPointer<PreviewWindow> self = this;
    QTimer::singleShot(0, this, [self, text] {
      if (self && self->app_.ui) self->app_.ui->message(text, frame::Icon::None);
    });
  };
}

PreviewWindow::~PreviewWindow() = default;

QWidget* PreviewWindow::sheet() const { return sheet_; }

void PreviewWindow::start() {
  session_.view.targetPage = 1;
  session_.view.scrollX = 0;
  session_.view.scrollY = 0;
  // As large as the screen allows, so that the fitted page is readable and
  // its foot is never cut off.
  const QScreen* screen = host_.owner() ? host_.owner()->screen() : QGuiApplication::primaryScreen();
  const QRect free = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  resize(std::min(free.width(), 1000), free.height() - 40);
  show();
  raise();
  activateWindow();
  setFocus();
  place();
}

QSize PreviewWindow::sheetSize() const {
  if (!fitted_)
    return {session_.view.zoom * info_.pageWidthMm, session_.view.zoom * info_.pageHeightMm};
  const double w = std::max(1, area_->width() - 2 * kSheetMargin);
  const double h = std::max(1, area_->height() - 2 * kSheetMargin);
  const double scale = std::min(w / info_.pageWidthMm, h / info_.pageHeightMm);
  return {std::max(1, static_cast<int>(scale * info_.pageWidthMm)),
          std::max(1, static_cast<int>(scale * info_.pageHeightMm))};
}

void PreviewWindow::place() {
  const QSize size = sheetSize();
  // A sheet narrower than the window stands in its middle; the arrows move
  // it from there.
  const int x = std::max(kSheetMargin, (area_->width() - size.width()) / 2);
  sheet_->setGeometry(x + session_.view.scrollX, kSheetMargin + session_.view.scrollY,
                      size.width(), size.height());
  pageLabel_->setText(QStringLiteral("Seite %1").arg(session_.view.targetPage));
  sheet_->update();
}

void PreviewWindow::paintSheet(QPainter& painter) {
  if (!renderer_) return;
  QtCanvas canvas(painter, true);
  const QSize size = sheet_->size();
  const PageGeometry geometry{info_.pageWidthMm * 10, info_.pageHeightMm * 10, size.width(),
                              size.height()};
  outcome_ = renderer_->render(canvas, geometry, context_);
}

void PreviewWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  place();
}

void PreviewWindow::keyPressEvent(QKeyEvent* event) {
  const PreviewKey key = KeyOf(event);
  // A zoom key starts from the size the fitted page has.
  if (fitted_ && (key == PreviewKey::ZoomIn || key == PreviewKey::ZoomOut)) {
    fitted_ = false;
    session_.view.zoom =
        std::clamp(sheetSize().width() / std::max(1, info_.pageWidthMm), kMinZoom, kMaxZoom);
  }
  switch (HandlePreviewKey(session_.view, key)) {
    case PreviewAction::Close:
      QMetaObject::invokeMethod(this, &PreviewWindow::closePreview, Qt::QueuedConnection);
      break;
    case PreviewAction::Repaint:
    case PreviewAction::Place:
      place();
      break;
    case PreviewAction::None:
      QWidget::keyPressEvent(event);
      break;
  }
}

void PreviewWindow::command(int id) {
  // The buttons do what their keys do.
  auto press = [this](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    keyPressEvent(&event);
  };
  switch (id) {
    case kPrintButton: printDocument(); break;
    case kPdfButton: savePdf(); break;
    case kMailButton: mailDocument(); break;
    case kCloseButton: closePreview(); break;
    case kPreviousButton: press(Qt::Key_PageUp); break;
    case kNextButton: press(Qt::Key_PageDown); break;
    case kZoomOutButton: press(Qt::Key_Home); break;
    case kZoomInButton: press(Qt::Key_End); break;
    case kFitButton:
      fitted_ = true;
      session_.view.scrollX = session_.view.scrollY = 0;
      place();
      break;
    default: break;
  }
}

void PreviewWindow::sheetClicked(Qt::MouseButton button) {
  if (button == Qt::LeftButton)
    printDocument();
  else if (button == Qt::RightButton)
    closePreview();
}

void PreviewWindow::printed(const std::string& said) {
  ++printed_;
  if (onPrinted_) onPrinted_();
  frame::Note(app_.ui, said);
}

void PreviewWindow::printDocument() {
  // The printer is asked for once, when the user first prints.
  if (!printer_) {
    printer_ = host_.choosePrinter(DocumentFileName(app_, session_));
    if (!printer_) return;
    info_ = printer_->info();
  }
  const int page = session_.view.targetPage;
  {
    frame::WaitCursor wait(app_.ui);
    if (PrintOnDevice(app_, *printer_, session_, {}, nullptr, context_.warningSink)) {
      // The document by the name its file would have: "Rechnung-1261200001".
      std::string name = DocumentFileName(app_, session_);
      if (name.ends_with(".pdf")) name.resize(name.size() - 4);
      printed(name == "Belvon" ? "Das Dokument wurde gedruckt." : "Gedruckt: " + name);
    }
    else if (app_.ui)
      app_.ui->message(kPrintFailedMessage, frame::Icon::Stop);
  }
  // The preview stays on its page.
  session_.view.targetPage = page;
  place();
}

void PreviewWindow::savePdf() {
  const std::string name = DocumentFileName(app_, session_);
  const QString path = host_.choosePdfFile(QString::fromStdString(name));
  if (path.isEmpty()) return;
  const int page = session_.view.targetPage;
  {
    frame::WaitCursor wait(app_.ui);
    PdfFileDevice device(path, *app_.fileSystem);
    if (PrintOnDevice(app_, device, session_, {}, nullptr, context_.warningSink))
      printed("Als PDF gespeichert: " + path.toStdString());
    else if (app_.ui)
      app_.ui->message("Die Datei " + path.toStdString() + " konnte nicht geschrieben werden.",
                       frame::Icon::Stop);
  }
  session_.view.targetPage = page;
  place();
}

void PreviewWindow::mailDocument() {
  const QtPrintHost::Mailer mailer = host_.mailer();
  if (!mailer.mails || !mailer.mails(session_.job) || !mailer.send) return;
  // The mail makes its own document: the preview goes first, so that the
  // order it shows is free again.
  const PrintSession session = session_;
  close();
  mailer.send(session);
}

void PreviewWindow::closePreview() { close(); }

void PreviewWindow::finish() {
  if (finished_) return;
  finished_ = true;
  printer_.reset();
  if (QWidget* owner = host_.owner()) owner->activateWindow();
  if (session_.notify) host_.postJobFinished();
}

void PreviewWindow::closeEvent(QCloseEvent* event) {
  // However the preview goes (right click, Esc, the window's close box), it
  // releases the printer and sends its notice exactly once.
  finish();
  event->accept();
}

}  // namespace printing
