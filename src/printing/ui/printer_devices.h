// The devices a document can be printed on: a printer chosen in the printer
// dialog, a PDF file, and PNG images (one file per page).
#ifndef BELVON_PRINTING_UI_PRINTER_DEVICES_H
#define BELVON_PRINTING_UI_PRINTER_DEVICES_H

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "printing/print_job.h"
#include "printing/ui/qt_canvas.h"

namespace printing {

class QtPrinterDevice : public PrinterDevice {
 public:
  explicit QtPrinterDevice(std::unique_ptr<QPrinter> printer);
  ~QtPrinterDevice() override;

  PrinterInfo info() const override;
  Canvas* beginDocument(const std::string& name, std::function<bool()> userAbort) override;
  bool endDocument() override;
  void abortDocument() override;
  QPrinter& printer() { return *printer_; }

 private:
  std::unique_ptr<QPrinter> printer_;
  QPainter painter_;
  std::optional<QtCanvas> canvas_;
  bool firstPage_ = true;
  bool failed_ = false;
};

// An A4 PDF with selectable text, no margins.
class PdfFileDevice : public PrinterDevice {
 public:
  explicit PdfFileDevice(const QString& path);
  ~PdfFileDevice() override;

  PrinterInfo info() const override;
  Canvas* beginDocument(const std::string& name, std::function<bool()> userAbort) override;
  bool endDocument() override;
  void abortDocument() override;
  int pages() const { return pages_; }

 private:
  QString path_;
  QPdfWriter writer_;
  QPainter painter_;
  std::optional<QtCanvas> canvas_;
  int pages_ = 0;
  bool failed_ = false;
};

// A4 pages as PNG images at `dpi`, named page-001.png, page-002.png, ...
class PngPagesDevice : public PrinterDevice {
 public:
  PngPagesDevice(const QString& directory, int dpi = 150);
  ~PngPagesDevice() override;

  PrinterInfo info() const override;
  Canvas* beginDocument(const std::string& name, std::function<bool()> userAbort) override;
  bool endDocument() override { return !failed_; }
  void abortDocument() override {}
  const QStringList& files() const { return files_; }
  bool failed() const { return failed_; }

 private:
  QString directory_;
  int dpi_;
  QImage image_;
  QPainter painter_;
  std::optional<QtCanvas> canvas_;
  QStringList files_;
  bool failed_ = false;
};

}  // namespace printing

#endif  // BELVON_PRINTING_UI_PRINTER_DEVICES_H
