// "RECHNUNGDRUCKEN": choose the document of the current order, with the
// print options, the print date and the number of copies. Every option takes
// effect at once; a document button issues the document and closes.
#ifndef BELVON_ORDERS_UI_RECHNUNGDRUCKEN_DIALOG_H
#define BELVON_ORDERS_UI_RECHNUNGDRUCKEN_DIALOG_H

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

#include "store/app_state.h"
#include "orders/issuing.h"

namespace orders {

// Mails a document of the current order drawn on the print date; true when
// it was issued. The program sets it (the mail dialogs stand on a floor
// above this one); while none is set the dialog shows no mail button.
using MailDocumentCall = std::function<bool(frame::AppState& app, DocumentKind kind,
                                            const std::string& printDate, QWidget* parent)>;
void SetMailDocumentCall(MailDocumentCall call);
// Whether the document of print job `job` can be mailed, and mailing it:
// "Per E-Mail senden" of the preview.
bool MailsDocumentJob(int job);
bool MailDocumentJob(frame::AppState& app, int job, const std::string& printDate, QWidget* parent);

// What a PDF of the current order as an invoice dated `invoiceDate` would
// lack of its e-invoice (ZUGFeRD), in one line; empty when it carries one or
// the setting is off. The print dialog says it once, in its banner, and the
// print itself only in the status line.
std::string PdfEInvoiceLack(frame::AppState& app, const std::string& invoiceDate);

class RechnungDruckenDialog : public QDialog {
  Q_OBJECT

 public:
  RechnungDruckenDialog(frame::AppState& app, PrintJobCall printJob, QWidget* parent = nullptr);
  const std::string& printDate() const { return printDate_; }

 public slots:
  void command(int id);

 private:
  void showMarks();
  void showEInvoiceBanner();
  // The typed print date taken, or false after the message.
  bool takeDate();
  void issue(DocumentKind kind);
  void mail(DocumentKind kind);
  void reject() override;

  frame::AppState& app_;
  PrintJobCall printJob_;
  std::string printDate_;
  std::optional<std::string> dateText_;  // the date field as typed, once touched
};

}  // namespace orders

#endif  // BELVON_ORDERS_UI_RECHNUNGDRUCKEN_DIALOG_H
