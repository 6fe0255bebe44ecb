#include "printing/ui/printer_devices.h"

#include <QCoreApplication>
#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <cmath>

namespace printing {

namespace {

constexpr int kA4WidthMm = 210;
constexpr int kA4HeightMm = 297;

}  // namespace

QtPrinterDevice::QtPrinterDevice(std::unique_ptr<QPrinter> printer)
    : printer_(std::move(printer)) {}

QtPrinterDevice::~QtPrinterDevice() {
  if (painter_.isActive()) painter_.end();
}

PrinterInfo QtPrinterDevice::info() const {
  QRectF area = printer_->pageLayout().paintRect(QPageLayout::Millimeter);
  return {static_cast<int>(area.width()), static_cast<int>(area.height()), printer_->width(),
          printer_->height()};
}

Canvas* QtPrinterDevice::beginDocument(const std::string& name, std::function<bool()> userAbort) {
  printer_->setDocName(QString::fromStdString(name));
  if (!painter_.begin(printer_.get())) return nullptr;
  firstPage_ = true;
  failed_ = false;
  QtCanvas::PageHooks hooks;
  // The first page is open once the painter began; later ones are new pages.
  hooks.startPage = [this] {
    if (firstPage_) {
      firstPage_ = false;
      return true;
    }
    if (!printer_->newPage()) failed_ = true;
    return !failed_;
  };
  // The abort procedure: let the abort dialog see its button and Esc.
  hooks.endPage = [userAbort] {
    QCoreApplication::processEvents();
    return !(userAbort && userAbort());
  };
  canvas_.emplace(painter_, false, std::move(hooks));
  return &*canvas_;
}

bool QtPrinterDevice::endDocument() {
  bool ok = !failed_;
  if (painter_.isActive()) ok = painter_.end() && ok;
  return ok && printer_->printerState() != QPrinter::Error;
}

void QtPrinterDevice::abortDocument() {
  printer_->abort();
  if (painter_.isActive()) painter_.end();
}

PdfFileDevice::PdfFileDevice(const QString& path) : path_(path), writer_(path) {
  writer_.setPageSize(QPageSize(QPageSize::A4));
  writer_.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
  writer_.setResolution(600);
  writer_.setCreator(QStringLiteral("Belvon 2.0"));
}

PdfFileDevice::~PdfFileDevice() {
  if (painter_.isActive()) painter_.end();
}

PrinterInfo PdfFileDevice::info() const {
  return {kA4WidthMm, kA4HeightMm, writer_.width(), writer_.height()};
}

Canvas* PdfFileDevice::beginDocument(const std::string& name, std::function<bool()> userAbort) {
  writer_.setTitle(QString::fromStdString(name));
  if (!painter_.begin(&writer_)) return nullptr;
  QtCanvas::PageHooks hooks;
  hooks.startPage = [this] {
    ++pages_;
    if (pages_ > 1 && !writer_.newPage()) failed_ = true;
    return !failed_;
  };
  hooks.endPage = [userAbort] { return !(userAbort && userAbort()); };
  canvas_.emplace(painter_, false, std::move(hooks));
  return &*canvas_;
}

bool PdfFileDevice::endDocument() {
  bool ok = !failed_;
  if (painter_.isActive()) ok = painter_.end() && ok;
  return ok;
}

void PdfFileDevice::abortDocument() {
  if (painter_.isActive()) painter_.end();
  QFile::remove(path_);
}

PngPagesDevice::PngPagesDevice(const QString& directory, int dpi)
    : directory_(directory), dpi_(dpi) {}

PngPagesDevice::~PngPagesDevice() {
  if (painter_.isActive()) painter_.end();
}

PrinterInfo PngPagesDevice::info() const {
  auto pixels = [this](int mm) { return static_cast<int>(std::lround(mm * dpi_ / 25.4)); };
  return {kA4WidthMm, kA4HeightMm, pixels(kA4WidthMm), pixels(kA4HeightMm)};
}

Canvas* PngPagesDevice::beginDocument(const std::string&, std::function<bool()> userAbort) {
  if (!QDir().mkpath(directory_)) return nullptr;
  QtCanvas::PageHooks hooks;
  hooks.startPage = [this] {
    PrinterInfo size = info();
    image_ = QImage(size.deviceWidth, size.deviceHeight, QImage::Format_RGB32);
    const double dotsPerMetre = dpi_ / 0.0254;
    image_.setDotsPerMeterX(static_cast<int>(std::lround(dotsPerMetre)));
    image_.setDotsPerMeterY(static_cast<int>(std::lround(dotsPerMetre)));
    image_.fill(Qt::white);
    if (!painter_.begin(&image_)) return false;
    canvas_->reapply();
    return true;
  };
  hooks.endPage = [this, userAbort] {
    if (painter_.isActive()) painter_.end();
    QString file = QDir(directory_).filePath(
        QStringLiteral("page-%1.png").arg(files_.size() + 1, 3, 10, QLatin1Char('0')));
    if (!image_.save(file, "PNG")) {
      failed_ = true;
      return false;
    }
    files_.push_back(file);
    return !(userAbort && userAbort());
  };
  canvas_.emplace(painter_, false, std::move(hooks));
  return &*canvas_;
}

}  // namespace printing
