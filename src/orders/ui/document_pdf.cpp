#include "orders/ui/document_pdf.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "printing/job_table.h"
#include "printing/print_job.h"
#include "printing/ui/printer_devices.h"

namespace orders {

bool WriteDocumentPdf(frame::AppState& app, printing::PrintSession& session,
                      printing::PageRenderer& renderer, const std::string& path) {
  printing::PdfFileDevice device(QString::fromStdString(path));
  return printing::PrintOnDevice(app, device, session, renderer, {}, nullptr) &&
         QFileInfo(QString::fromStdString(path)).isFile();
}

DocumentPdf OrderDocumentPdf(frame::AppState& app, DocumentKind kind, const std::string& printDate) {
  DocumentPdf pdf;
  printing::PrintSession session;
  session.job = static_cast<int>(kind);
  session.inputs.printDate = printDate;
  pdf.fileName = printing::DocumentFileName(app, session);
  QTemporaryDir folder;
  const QString path = folder.filePath(QString::fromStdString(pdf.fileName));
  auto renderer = printing::MakeRenderer(session.job);
  QFile file(path);
  if (!folder.isValid() || !WriteDocumentPdf(app, session, *renderer, path.toStdString()) ||
      !file.open(QIODevice::ReadOnly)) {
    pdf.problem = "Das PDF des Belegs kann nicht erzeugt werden (" + path.toStdString() + ").";
    return pdf;
  }
  const QByteArray bytes = file.readAll();
  pdf.bytes.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  if (pdf.bytes.empty()) pdf.problem = "Das PDF des Belegs ist leer.";
  return pdf;
}

}  // namespace orders
