// The date-range dialogs propose their range, hand the typed one to their
// print job and close.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <tuple>

#include "core/command_ids.h"
#include "widgets/dialog_support.h"
#include "app/main_window.h"
#include "reports/ui/date_range_dialog.h"
#include "reports/ui/report_menu.h"
#include "support/order_book.h"

namespace {

using reports::RangeDialog;

TEST(DateRangeDialog, ProposesAndHandsOverTheRange) {
  struct Case {
    RangeDialog kind;
    int job;  // the HITLISTE's parameter
    const char* title;
    int fromId, toId;
    const char *proposedFrom, *proposedTo, *typedFrom, *typedTo;
    int printedJob;
    const char *from, *to;
  };
  const Case cases[] = {
      {RangeDialog::InvoiceJournal, 0, "Rechnungsausgangsbuch", 2111, 2112, "06.12.2026",
       "06.12.2026", "1.12.26", "31.12.2026", 8, "1.12.26", "31.12.2026"},
      {RangeDialog::HitList, 6, "Artikelhitliste", 2109, 2110, "01.12.2026", "06.12.2026",
       "01.01.2026", "31.12.2026x", 6, "01.01.2026", "31.12.2026"},
      {RangeDialog::HitList, 22, "Artikelumsatzliste", 2109, 2110, "01.12.2026", "06.12.2026",
       "01.01.2026", "31.01.2026", 22, "01.01.2026", "31.01.2026"},
      {RangeDialog::CustomerHitList, 0, "Hitliste der Kunden", 2116, 2117, "01.12.2026",
       "06.12.2026", "01.11.2026", "30.11.2026", 7, "01.11.2026", "30.11.2026"},
      {RangeDialog::Turnover, 0, "Umsatz / Ertrag", 2114, 2115, "01.2026", "12.2026", "03.2024",
       "05.2024", 12, "01.03.2024", "31.05.2024"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    testsupport::OrderBook test;
    int job = 0;
    std::string from, to;
    reports::DateRangeDialog dialog(
        test.app, c.kind,
        [&](int j, const std::string& f, const std::string& t) { job = j, from = f, to = t; },
        c.job);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(c.title));
    QLineEdit* fromEdit = frame::Control<QLineEdit>(&dialog, c.fromId);
    QLineEdit* toEdit = frame::Control<QLineEdit>(&dialog, c.toId);
    ASSERT_TRUE(fromEdit && toEdit);
    EXPECT_EQ(fromEdit->text() + "-" + toEdit->text(), QString(c.proposedFrom) + "-" + c.proposedTo);
    fromEdit->setText(c.typedFrom);
    toEdit->setText(c.typedTo);
    dialog.command(1);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(std::tuple(job, from, to), std::tuple(c.printedJob, c.from, c.to));
  }
}

// The hit lists and the article turnover list wait for orders; the journal
// and the graph open at once.
TEST(ReportMenu, OpensTheDialogsOfItsCommands) {
  testsupport::OrderBook book;
  frame::MainWindow window(book.app);
  reports::RegisterReportCommands(window);
  struct Case {
    int id;
    const char *withoutOrders, *withOrders;
  };
  const Case cases[] = {{frame::cmd::kArticleHitList, "", "HITLISTE"},
                        {frame::cmd::kArticleTurnoverList, "", "HITLISTE"},
                        {frame::cmd::kCustomerHitList, "", "HITKUNDEN"},
                        {frame::cmd::kInvoiceJournal, "RECHNUNGSAUSGANGSBUCH", "RECHNUNGSAUSGANGSBUCH"},
                        {frame::cmd::kTurnoverGraph, "UMSATZ", "UMSATZ"}};
  for (bool withOrders : {false, true}) {
    if (withOrders) book.order(book.customer("Meier"), 0, {testsupport::BookLine{1, 100}});
    for (const Case& c : cases) {
      std::string shown;
      QTimer::singleShot(0, [&shown] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
          shown = dialog->objectName().toStdString();
          dialog->reject();
        }
      });
      window.command(c.id);
      QApplication::processEvents();
      EXPECT_EQ(shown, withOrders ? c.withOrders : c.withoutOrders) << c.id;
    }
  }
}

}  // namespace
