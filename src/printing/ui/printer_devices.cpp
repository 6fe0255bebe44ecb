#include "printing/ui/printer_devices.h"

#include <QCoreApplication>
#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <algorithm>
#include <cmath>

#include "platform/file_reading.h"
#include "platform/output_file.h"

namespace printing {

namespace {

constexpr int kA4WidthMm = 210;
constexpr int kA4HeightMm = 297;
// The page layouts take their origin at the corner of a printer's printable
// area, which office printers keep 4 to 5 mm inside the sheet. A file has no
// such edge: the PDF and the PNG pages keep one of 5 mm, so that what a
// layout puts at its edges stands where it would on paper, and a file
// printed again loses nothing at the sheet's edge.
constexpr int kFileMarginMm = 5;
// Largest PDF read back to be finished: far beyond any invoice.
constexpr std::uint64_t kMaxPdfBytes = 1ull << 30;

// A PDF that Qt wrote to `temporary`: complete when it ends with its end
// marker; then flushed and renamed over `target`. Removed otherwise.
bool CommitPrintedPdf(platform::FileSystem& fs, const std::string& temporary,
                      const std::string& target) {
  bool whole = false;
  {
    platform::File file = fs.open(temporary, platform::Access::ReadWrite, platform::Share::Exclusive);
    const std::int64_t size = file ? file.size() : -1;
    char tail[32] = {};
    const std::size_t n = size < 0 ? 0 : static_cast<std::size_t>(std::min<std::int64_t>(size, 32));
    if (n > 0 && file.seek(static_cast<std::uint64_t>(size) - n) && file.readExact(tail, n)) {
      const std::string end(tail, n);
      whole = end.find("%%EOF") != std::string::npos && file.sync();
    }
    whole = file.close() && whole;
  }
  if (whole && fs.rename(temporary, target)) return true;
  fs.remove(temporary);
  return false;
}

// A PDF that Qt wrote to `temporary`, finished in memory and written as
// `target` by way of an output file; the temporary file goes either way.
bool CommitFinishedPdf(platform::FileSystem& fs, const std::string& temporary,
                       const std::string& target, const PdfFinish& finish) {
  std::string bytes;
  const bool read = platform::ReadRegularFile(fs, temporary, kMaxPdfBytes, bytes,
                                              platform::Share::Exclusive) ==
                    platform::ReadRefusal::None;
  fs.remove(temporary);
  // Only a PDF Qt wrote to its end is finished.
  const bool whole = bytes.starts_with("%PDF") &&
                     bytes.find("%%EOF", bytes.size() - std::min<std::size_t>(bytes.size(), 32)) !=
                         std::string::npos;
  return read && whole && finish.finish(bytes) &&
         platform::WriteOutputFile(fs, target, bytes);
}

QPagedPaintDevice::PdfVersion VersionFor(const PdfFinish& finish) {
  return finish.archival ? QPagedPaintDevice::PdfVersion_A1b : QPagedPaintDevice::PdfVersion_1_4;
}

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
  pdfTarget_.clear();
  if (printer_->outputFormat() == QPrinter::PdfFormat && !printer_->outputFileName().isEmpty()) {
    pdfTarget_ = printer_->outputFileName();
    const std::string temporary = pdfTarget_.toStdString() + ".neu";
    // A leftover (or a link put there) is removed, never written through.
    platform::SystemFileSystem().remove(temporary);
    printer_->setOutputFileName(QString::fromStdString(temporary));
    printer_->setPdfVersion(VersionFor(finish_));
  }
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
  ok = ok && printer_->printerState() != QPrinter::Error;
  if (pdfTarget_.isEmpty()) return ok;
  const std::string temporary = printer_->outputFileName().toStdString();
  printer_->setOutputFileName(pdfTarget_);
  platform::FileSystem& fs = platform::SystemFileSystem();
  if (ok && finish_.finish) return CommitFinishedPdf(fs, temporary, pdfTarget_.toStdString(), finish_);
  if (ok) return CommitPrintedPdf(fs, temporary, pdfTarget_.toStdString());
  fs.remove(temporary);
  return false;
}

bool QtPrinterDevice::writesPdf() const {
  return printer_->outputFormat() == QPrinter::PdfFormat && !printer_->outputFileName().isEmpty();
}

void QtPrinterDevice::abortDocument() {
  printer_->abort();
  if (painter_.isActive()) painter_.end();
  if (!pdfTarget_.isEmpty()) {
    platform::SystemFileSystem().remove(printer_->outputFileName().toStdString());
    printer_->setOutputFileName(pdfTarget_);
  }
}

// The writer draws into memory: QPainter::end() does not say whether the
// writer's bytes reached the disk, so they are written out by us, checked.
PdfFileDevice::PdfFileDevice(const QString& path, platform::FileSystem& fs)
    : path_(path), fs_(fs), buffer_(&bytes_), writer_(&buffer_) {
  writer_.setPageSize(QPageSize(QPageSize::A4));
  writer_.setPageMargins(QMarginsF(kFileMarginMm, kFileMarginMm, kFileMarginMm, kFileMarginMm),
                         QPageLayout::Millimeter);
  writer_.setResolution(600);
  writer_.setCreator(QStringLiteral("Belvon 2.0"));
}

PdfFileDevice::~PdfFileDevice() {
  if (painter_.isActive()) painter_.end();
}

PrinterInfo PdfFileDevice::info() const {
  return {kA4WidthMm - 2 * kFileMarginMm, kA4HeightMm - 2 * kFileMarginMm, writer_.width(),
          writer_.height()};
}

Canvas* PdfFileDevice::beginDocument(const std::string& name, std::function<bool()> userAbort) {
  writer_.setTitle(QString::fromStdString(name));
  // A file that cannot even be begun is refused before anything is drawn.
  if (!platform::OutputFile(fs_, path_.toStdString()).isOpen()) return nullptr;
  if (!buffer_.isOpen() && !buffer_.open(QIODevice::WriteOnly)) return nullptr;
  writer_.setPdfVersion(VersionFor(finish_));
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
  buffer_.close();
  if (!ok || !bytes_.startsWith("%PDF")) return false;
  if (!finish_.finish)
    return platform::WriteOutputFile(fs_, path_.toStdString(),
                                     std::string_view(bytes_.constData(), bytes_.size()));
  std::string pdf(bytes_.constData(), static_cast<std::size_t>(bytes_.size()));
  return finish_.finish(pdf) && platform::WriteOutputFile(fs_, path_.toStdString(), pdf);
}

void PdfFileDevice::abortDocument() {
  if (painter_.isActive()) painter_.end();
  buffer_.close();
  bytes_.clear();
}

PngPagesDevice::PngPagesDevice(const QString& directory, int dpi, platform::FileSystem& fs)
    : directory_(directory), dpi_(dpi), fs_(fs) {}

int PngPagesDevice::pixels(int mm) const { return static_cast<int>(std::lround(mm * dpi_ / 25.4)); }

PngPagesDevice::~PngPagesDevice() {
  if (painter_.isActive()) painter_.end();
}

PrinterInfo PngPagesDevice::info() const {
  const int width = kA4WidthMm - 2 * kFileMarginMm, height = kA4HeightMm - 2 * kFileMarginMm;
  return {width, height, pixels(width), pixels(height)};
}

Canvas* PngPagesDevice::beginDocument(const std::string&, std::function<bool()> userAbort) {
  if (!QDir().mkpath(directory_)) return nullptr;
  QtCanvas::PageHooks hooks;
  hooks.startPage = [this] {
    image_ = QImage(pixels(kA4WidthMm), pixels(kA4HeightMm), QImage::Format_RGB32);
    const double dotsPerMetre = dpi_ / 0.0254;
    image_.setDotsPerMeterX(static_cast<int>(std::lround(dotsPerMetre)));
    image_.setDotsPerMeterY(static_cast<int>(std::lround(dotsPerMetre)));
    image_.fill(Qt::white);
    if (!painter_.begin(&image_)) return false;
    // The printable area, moved in by the margin.
    const PrinterInfo area = info();
    const int margin = pixels(kFileMarginMm);
    painter_.setWindow(0, 0, area.deviceWidth, area.deviceHeight);
    painter_.setViewport(margin, margin, area.deviceWidth, area.deviceHeight);
    canvas_->reapply();
    return true;
  };
  hooks.endPage = [this, userAbort] {
    if (painter_.isActive()) painter_.end();
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image_.save(&buffer, "PNG")) {
      failed_ = true;
      return false;
    }
    pages_.push_back(std::move(png));
    return !(userAbort && userAbort());
  };
  canvas_.emplace(painter_, false, std::move(hooks));
  return &*canvas_;
}

bool PngPagesDevice::endDocument() {
  files_.clear();
  for (std::size_t i = 0; !failed_ && i < pages_.size(); ++i) {
    const QString file = QDir(directory_).filePath(
        QStringLiteral("page-%1.png").arg(i + 1, 3, 10, QLatin1Char('0')));
    const QByteArray& page = pages_[i];
    if (platform::WriteOutputFile(fs_, file.toStdString(),
                                  std::string_view(page.constData(), page.size())))
      files_.push_back(file);
    else
      failed_ = true;
  }
  pages_.clear();
  // Some pages are no document: the ones written go again.
  if (failed_)
    for (const QString& file : files_) fs_.remove(file.toStdString());
  if (failed_) files_.clear();
  return !failed_;
}

}  // namespace printing
