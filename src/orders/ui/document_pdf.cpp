#include "orders/ui/document_pdf.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "orders/issue_statement.h"
#include "printing/job_table.h"
#include "store/issue_archive.h"
#include "printing/print_job.h"
#include "printing/ui/printer_devices.h"

namespace orders {

bool WriteDocumentPdf(frame::AppState& app, printing::PrintSession& session,
                      printing::PageRenderer& renderer, const std::string& path) {
  printing::PdfFileDevice device(QString::fromStdString(path));
  return printing::PrintOnDevice(app, device, session, renderer, {}, nullptr) &&
         QFileInfo(QString::fromStdString(path)).isFile();
}

bool DocumentPdfBytes(frame::AppState& app, printing::PrintSession& session, std::string& bytes) {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("beleg.pdf"));
  auto renderer = printing::MakeRenderer(session.job);
  QFile file(path);
  if (!folder.isValid() || !WriteDocumentPdf(app, session, *renderer, path.toStdString()) ||
      !file.open(QIODevice::ReadOnly))
    return false;
  const QByteArray read = file.readAll();
  bytes.assign(read.constData(), static_cast<std::size_t>(read.size()));
  return !bytes.empty();
}

DocumentPdf OrderDocumentPdf(frame::AppState& app, DocumentKind kind, const std::string& printDate,
                             const std::string& invoiceDate) {
  DocumentPdf pdf;
  printing::PrintSession session;
  session.job = static_cast<int>(kind);
  session.inputs.printDate = printDate;
  session.inputs.invoiceDate = invoiceDate;
  // A mail that sends an invoice for the first time issues it.
  session.inputs.issuing = !invoiceDate.empty();
  pdf.fileName = printing::DocumentFileName(app, session);
  // An issued invoice goes out as the PDF that left the program at its issue.
  const bool invoice = kind == DocumentKind::Invoice || kind == DocumentKind::CollectiveInvoice;
  if (invoice && !session.inputs.issuing && IssuedAsInvoice(app.order))
    if (const auto record = FindIssueRecord(app, app.order.orderNumber))
      if (store::ReadArchived(app, *record, true, pdf.bytes) == store::ArchiveState::Intact)
        return pdf;
  if (!DocumentPdfBytes(app, session, pdf.bytes))
    pdf.problem = "Das PDF des Belegs (" + pdf.fileName + ") kann nicht erzeugt werden.";
  return pdf;
}

}  // namespace orders
