#include "maintenance/issue_book_check.h"

#include <map>

#include "core/decimal.h"
#include "core/figures.h"
#include "store/issue_archive.h"
#include "store/issue_file.h"
#include "store/order_kinds.h"
#include "store/order_record.h"
#include "store/text_field.h"

namespace maintenance {


void CheckIssueBook(frame::AppState& app, IndexImage& orders, FileWindow& orderData,
                    std::vector<std::string>& problems) {
  store::IssueBook book;
  if (!store::ReadIssueBook(app, book)) {
    problems.push_back(frame::Format("Das Rechnungsausgangsbuch (%s) kann nicht gelesen werden.",
                                     store::kIssueFileName));
    return;
  }
  if (book.damaged() > 0)
    problems.push_back(frame::Format("Rechnungsausgangsbuch (%s): %d Einträge sind beschädigt.",
                                     store::kIssueFileName, book.damaged()));
  if (book.tornTail() > 0)
    problems.push_back(frame::Format(
        "Rechnungsausgangsbuch (%s): am Ende stehen %llu Bytes eines abgebrochenen Eintrags.",
        store::kIssueFileName, static_cast<unsigned long long>(book.tornTail())));
  std::map<std::int32_t, bool> marked;  // every order: issued as an invoice?
  for (std::int32_t i = 0; i < orders.count; ++i) {
    store::OrderHead head{};
    if (!orderData.read(orders.recordOffset(i), &head, sizeof head)) continue;
    const bool issued = (head.flags & store::kOrderInvoicePrinted) &&
                        !(head.flags & store::kOrderCollectivelyBilled);
    marked[head.orderNumber] = issued;
    if (!issued) continue;
    const long number = head.orderNumber;
    const store::IssueRecord* record = book.find(head.orderNumber);
    if (!record) {
      problems.push_back(frame::Format("Rechnung Nr: %ld steht nicht im Rechnungsausgangsbuch (%s).",
                                       number, store::kIssueFileName));
      continue;
    }
    if (record->total != head.total)
      problems.push_back(frame::Format(
          "Rechnung Nr: %ld: der Auftrag nennt %s, das Rechnungsausgangsbuch %s als Betrag.", number,
          frame::Amount(app.figures, head.total / 100.0).c_str(),
          frame::Amount(app.figures, static_cast<double>(record->total) / 100.0).c_str()));
    const std::string_view orderDate = store::GetText(head.invoiceDate);
    const std::string_view bookDate = store::GetText(record->invoiceDate);
    if (orderDate != bookDate)
      problems.push_back(frame::Format(
          "Rechnung Nr: %ld: der Auftrag nennt den %s, das Rechnungsausgangsbuch den %s als "
          "Rechnungsdatum.",
          number, std::string(orderDate).c_str(), std::string(bookDate).c_str()));
  }
  for (const store::IssueRecord& record : book.records()) {
    for (const bool pdf : {true, false}) {
      std::string bytes;
      const store::ArchiveState state = store::ReadArchived(app, record, pdf, bytes);
      const std::string path = store::ArchivePath(app, record.invoiceNumber, pdf ? "pdf" : "xml");
      if (state == store::ArchiveState::Missing)
        problems.push_back(frame::Format("Archiv: %s fehlt.", path.c_str()));
      else if (state == store::ArchiveState::Changed)
        problems.push_back(frame::Format(
            "Archiv: %s ist nicht mehr die Datei, die ausgestellt wurde.", path.c_str()));
    }
    const auto order = marked.find(record.invoiceNumber);
    const long number = record.invoiceNumber;
    if (order == marked.end())
      problems.push_back(frame::Format(
          "Rechnungsausgangsbuch: zur Rechnung Nr: %ld gibt es keinen Auftrag.", number));
    else if (!order->second)
      problems.push_back(frame::Format(
          "Rechnungsausgangsbuch: Auftrag Nr: %ld ist nicht als Rechnung gedruckt vermerkt.", number));
  }
}

}  // namespace maintenance
