// The devices a document can be printed on: a printer chosen in the printer
// dialog, a PDF file, and PNG images (one file per page).
//
// A file is made in memory and written out only when the document is
// complete, through platform::OutputFile: it is there whole or the document
// counts as not printed.
#ifndef BELVON_PRINTING_UI_PRINTER_DEVICES_H
#define BELVON_PRINTING_UI_PRINTER_DEVICES_H

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "platform/file.h"
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
  bool writesPdf() const override;
  void setPdfFinish(PdfFinish finish) override { finish_ = std::move(finish); }
  QPrinter& printer() { return *printer_; }

 private:
  std::unique_ptr<QPrinter> printer_;
  QPainter painter_;
  std::optional<QtCanvas> canvas_;
  bool firstPage_ = true;
  bool failed_ = false;
  // "Print to file": Qt writes the PDF beside the chosen name, and only a
  // file that is complete takes that name.
  QString pdfTarget_;
  PdfFinish finish_;
};

// An A4 PDF with selectable text; the layout's page is the sheet less 5 mm
// on every side.
class PdfFileDevice : public PrinterDevice {
 public:
  explicit PdfFileDevice(const QString& path,
                         platform::FileSystem& fs = platform::SystemFileSystem());
  ~PdfFileDevice() override;

  PrinterInfo info() const override;
  Canvas* beginDocument(const std::string& name, std::function<bool()> userAbort) override;
  bool endDocument() override;
  void abortDocument() override;
  bool writesPdf() const override { return true; }
  void setPdfFinish(PdfFinish finish) override { finish_ = std::move(finish); }
  int pages() const { return pages_; }

 private:
  QString path_;
  platform::FileSystem& fs_;
  QByteArray bytes_;
  QBuffer buffer_;
  QPdfWriter writer_;
  QPainter painter_;
  std::optional<QtCanvas> canvas_;
  PdfFinish finish_;
  int pages_ = 0;
  bool failed_ = false;
};

// A4 pages as PNG images at `dpi`, named page-001.png, page-002.png, ...;
// the layout's page is the sheet less 5 mm on every side.
class PngPagesDevice : public PrinterDevice {
 public:
  PngPagesDevice(const QString& directory, int dpi = 150,
                 platform::FileSystem& fs = platform::SystemFileSystem());
  ~PngPagesDevice() override;

  PrinterInfo info() const override;
  Canvas* beginDocument(const std::string& name, std::function<bool()> userAbort) override;
  // Writes the pages; when one cannot be written whole, none is left.
  bool endDocument() override;
  void abortDocument() override { pages_.clear(); }
  const QStringList& files() const { return files_; }
  bool failed() const { return failed_; }

 private:
  int pixels(int mm) const;

  QString directory_;
  int dpi_;
  platform::FileSystem& fs_;
  std::vector<QByteArray> pages_;  // encoded, not yet written
  QImage image_;
  QPainter painter_;
  std::optional<QtCanvas> canvas_;
  QStringList files_;
  bool failed_ = false;
};

}  // namespace printing

#endif  // BELVON_PRINTING_UI_PRINTER_DEVICES_H
