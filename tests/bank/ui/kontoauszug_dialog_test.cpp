// "Kontoauszug einlesen" driven by its commands: the proposals as listed,
// a transfer split by hand, a split that does not add up refused whole.
#include <QLineEdit>
#include <QTableWidget>
#include <gtest/gtest.h>

#include "bank/bank_import.h"
#include "bank/bank_settings.h"
#include "bank/statement_file.h"
#include "bank/ui/kontoauszug_dialog.h"
#include "bank/bank_book.h"
#include "support/bank_statements.h"

namespace {

using Dialog = bank::KontoauszugDialog;

TEST(KontoauszugDialog, BooksWhatIsTickedAsTypedAndSaysSo) {
  banktest::BankBook book;
  const std::int32_t exact = book.issued("Meier GmbH", 11900);
  const std::int32_t a = book.issued("Klein", 5000), b = book.issued("Klein", 7000);
  testsupport::Booking paid, split, unknown;
  paid.cents = 11900;
  paid.name = "Meier GmbH";
  paid.text = "Rechnung " + std::to_string(exact);
  split.cents = 9000;
  split.name = "Klein";
  split.text = "Sammelzahlung";
  unknown.cents = 100;
  unknown.name = "Niemand";
  bank::Statement statement;
  std::string error;
  ASSERT_TRUE(bank::ReadStatement(testsupport::Camt({paid, split, unknown}), statement, error));
  std::vector<bank::ImportLine> lines;
  ASSERT_TRUE(bank::ImportStatement(book.app, statement, false, "Bank", lines));

  Dialog dialog(book.app, lines);
  auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("Umsaetze"));
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->item(0, Dialog::kState)->text(), QStringLiteral("wird gebucht"));
  EXPECT_EQ(table->item(0, Dialog::kTick)->checkState(), Qt::Checked);
  EXPECT_EQ(table->item(1, Dialog::kState)->text(), QStringLiteral("Vorschlag"));
  EXPECT_EQ(table->item(1, Dialog::kTick)->checkState(), Qt::Unchecked);
  EXPECT_EQ(table->item(2, Dialog::kState)->text(), QStringLiteral("nicht gefunden"));

  // A split that does not add up: told, nothing booked, the dialog stays.
  table->item(1, Dialog::kTick)->setCheckState(Qt::Checked);
  table->item(1, Dialog::kInvoices)->setText(QString("%1=50,00; %2=30,00").arg(a).arg(b));
  dialog.command(Dialog::kBook);
  ASSERT_EQ(book.ui.texts().size(), 1u);
  EXPECT_NE(book.ui.texts()[0].find("ergeben zusammen nicht"), std::string::npos) << book.ui.texts()[0];
  EXPECT_EQ(book.paid(exact), 0);
  EXPECT_NE(dialog.result(), QDialog::Accepted);

  table->item(1, Dialog::kInvoices)->setText(QString("%1=50,00; %2=40,00").arg(a).arg(b));
  dialog.findChild<QLineEdit*>(QStringLiteral("Konto"))->setText(QStringLiteral("Giro"));
  dialog.command(Dialog::kBook);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.summary(), "2 Zahlungen wurden gebucht.");
  EXPECT_EQ(book.paid(exact), 11900);
  EXPECT_EQ(book.paid(a), 5000);
  EXPECT_EQ(book.paid(b), 4000);
  EXPECT_EQ(bank::BankAccount(book.app), "Giro");

  // Listed again: both known.
  ASSERT_TRUE(bank::ImportStatement(book.app, statement, false, "Bank", lines));
  Dialog again(book.app, lines);
  table = again.findChild<QTableWidget*>(QStringLiteral("Umsaetze"));
  EXPECT_EQ(table->item(0, Dialog::kState)->text(), QStringLiteral("bereits gebucht"));
  EXPECT_EQ(table->item(1, Dialog::kState)->text(), QStringLiteral("bereits gebucht"));
  EXPECT_FALSE(table->item(1, Dialog::kTick)->flags() & Qt::ItemIsUserCheckable);
}

}  // namespace
