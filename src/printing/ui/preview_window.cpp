#include "printing/ui/preview_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <memory>
#include <set>

#include "core/user_interface.h"
#include "printing/job_table.h"
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

}  // namespace

PreviewWindow::PreviewWindow(frame::AppState& app, QtPrintHost& host, const PrintSession& session,
                             QWidget* owner)
    : QWidget(owner, Qt::Window),
      app_(app),
      host_(host),
      session_(session),
      context_(app, session_),
      renderer_(MakeRenderer(session.job)) {
  setAttribute(Qt::WA_DeleteOnClose);
  // The preview holds mouse and keyboard while it is open: nothing can start
  // other work on the order that its closing reads back.
  setWindowModality(Qt::ApplicationModal);
  setWindowTitle(QStringLiteral("Druckvorschau"));
  setObjectName(QStringLiteral("PreviewClass"));
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);
  setCursor(Qt::ArrowCursor);
  setFocusPolicy(Qt::StrongFocus);
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

void PreviewWindow::start() {
  session_.view.targetPage = 1;
  printer_ = host_.choosePrinter(DocumentFileName(app_, session_));
  if (!printer_) {
    // Nothing to show the page for: close (and notify) right away.
    QMetaObject::invokeMethod(this, &PreviewWindow::closePreview, Qt::QueuedConnection);
    return;
  }
  info_ = printer_->info();
  session_.view.scrollX = 0;
  session_.view.scrollY = 0;
  place();
  show();
  raise();
  activateWindow();
  setFocus();
}

void PreviewWindow::place() {
  move(session_.view.scrollX, session_.view.scrollY);
  resize(session_.view.zoom * info_.pageWidthMm, session_.view.zoom * info_.pageHeightMm);
  update();
}

void PreviewWindow::paintEvent(QPaintEvent*) {
  if (!printer_ || !renderer_) return;
  QPainter painter(this);
  QtCanvas canvas(painter, true);
  outcome_ = renderer_->render(canvas, PreviewGeometry(info_, session_.view.zoom), context_);
}

void PreviewWindow::keyPressEvent(QKeyEvent* event) {
  switch (HandlePreviewKey(session_.view, KeyOf(event))) {
    case PreviewAction::Close:
      QMetaObject::invokeMethod(this, &PreviewWindow::closePreview, Qt::QueuedConnection);
      break;
    case PreviewAction::Repaint:
      update();
      break;
    case PreviewAction::Place:
      place();
      break;
    case PreviewAction::None:
      QWidget::keyPressEvent(event);
      break;
  }
}

void PreviewWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton)
    printDocument();
  else if (event->button() == Qt::RightButton)
    closePreview();
}

void PreviewWindow::printDocument() {
  frame::WaitCursor wait(app_.ui);
  // The window stays where it is; only the offsets start again.
  session_.view.scrollX = 0;
  session_.view.scrollY = 0;
  if (!printer_) return;
  if (PrintOnDevice(app_, *printer_, session_, {}, nullptr, context_.warningSink)) {
    ++printed_;
    if (onPrinted_) onPrinted_();
  } else if (app_.ui) {
    app_.ui->message(kPrintFailedMessage, frame::Icon::Stop);
  }
  update();
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
