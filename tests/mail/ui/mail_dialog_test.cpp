// "Per E-Mail senden" from the order's print dialog: the dialog shows what
// goes out, the password is asked once per session, and only a message the
// server took issues the document.
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "einvoice/einvoice_cases.h"
#include "mail/mail_settings.h"
#include "mail/message.h"
#include "mail/smtp_server.h"
#include "mail/ui/mail_dialog.h"
#include "mail/ui/mail_menu.h"
#include "orders/ui/document_pdf.h"
#include "orders/ui/rechnungdrucken_dialog.h"
#include "store/address_file.h"
#include "store/order_file.h"
#include "store/records_test_support.h"
#include "widgets/dialog_support.h"

namespace {

using Server = testsupport::SmtpServer;

class MailDialogTest : public testsupport::StoreTest {
 protected:
  MailDialogTest() {
    store::AddressRecord customer = testsupport::MakeAddress("Meier", "7");
    store::SetText(customer.email, "meier@example.org");
    const std::int32_t position = Add(customer);
    store::ReadAddress(app, app.address, position);
    app.addresses.position = position;
    testsupport::AddOrder(app, 0, {{"Tisch"}});
    store::ReadOrder(app, app.order, app.orders.position);
    settings.server = "127.0.0.1";
    settings.security = mail::Security::None;
    settings.sender = "buero@example.de";
    settings.user = "buero";
    settings.timeoutSeconds = 1;
    desktop.passwords = &passwords;
    desktop.askPassword = [this](QWidget*, const std::string& prompt) {
      prompts.push_back(prompt);
      return std::optional<std::string>("geheim");
    };
    desktop.review = [this](mail::MailDialog& dialog) {
      shownTo = dialog.to();
      shownSubject = dialog.subject();
      dialog.findChildren<QLineEdit*>()[1]->setText(QStringLiteral("Ihre Rechnung – bitte prüfen"));
      if (!typedTo.empty()) dialog.findChildren<QLineEdit*>()[0]->setText(QString::fromStdString(typedTo));
      dialog.send();
      return dialog.result() == QDialog::Accepted;
    };
  }

  bool Mail(const Server& server, orders::DocumentKind kind = orders::DocumentKind::Invoice) {
    settings.port = server.port();
    EXPECT_TRUE(mail::SaveSettings(app.dataDirectory, settings));
    return mail::MailOrderDocument(app, kind, "03.12.2026", nullptr, desktop);
  }

  std::uint16_t StoredFlags() {
    store::OrderHead head{};
    store::ReadOrder(app, head, app.orders.position);
    return head.flags;
  }

  mail::Settings settings;
  mail::PasswordStore passwords{false};
  mail::Desktop desktop;
  std::vector<std::string> prompts;
  std::string shownTo, shownSubject, typedTo;
};

TEST_F(MailDialogTest, SentMailIssuesAndThePasswordIsAskedOncePerSession) {
  Server server(Server::Mode::Accept);
  EXPECT_TRUE(Mail(server));
  EXPECT_EQ(shownTo, "meier@example.org");
  EXPECT_EQ(shownSubject, "Rechnung " + std::to_string(app.order.orderNumber) + " von ");
  EXPECT_TRUE(StoredFlags() & store::kOrderInvoicePrinted);
  EXPECT_NE(server.message().find(mail::EncodeHeaderText("Ihre Rechnung – bitte prüfen")),
            std::string::npos);
  EXPECT_EQ(prompts, (std::vector<std::string>{"Passwort für buero an 127.0.0.1:"}));
  ASSERT_FALSE(ui.texts().empty());
  EXPECT_EQ(ui.texts().back(), "Die E-Mail an meier@example.org wurde gesendet.");

  Server again(Server::Mode::Accept);
  EXPECT_TRUE(Mail(again, orders::DocumentKind::Quotation));
  EXPECT_EQ(prompts.size(), 1u);
  EXPECT_TRUE(StoredFlags() & store::kOrderQuotationPrinted);
  // The order's mails, newest first.
  const std::string number = std::to_string(app.order.orderNumber);
  EXPECT_EQ(mail::OrderLogLines(app),
            (std::vector<std::string>{"03.12.2026 10:00\tmeier@example.org\tAngebot " + number,
                                      "03.12.2026 10:00\tmeier@example.org\tRechnung " + number}));
  app.order.orderNumber += 1;
  EXPECT_TRUE(mail::OrderLogLines(app).empty());
}

TEST_F(MailDialogTest, RefusedOrBadlyAddressedMailIssuesNothing) {
  {
    Server server(Server::Mode::RefuseRecipient);
    EXPECT_FALSE(Mail(server));
    ASSERT_FALSE(ui.texts().empty());
    EXPECT_NE(ui.texts().back().find("550 5.1.1"), std::string::npos) << ui.texts().back();
  }
  Server server(Server::Mode::Accept);
  typedTo = "meier(at)example.org";
  EXPECT_FALSE(Mail(server));
  EXPECT_NE(ui.texts().back().find("keine gültige E-Mail-Adresse"), std::string::npos);
  EXPECT_TRUE(server.commands().empty());
  EXPECT_EQ(StoredFlags() & store::kOrderInvoicePrinted, 0);
}

TEST_F(MailDialogTest, TheMailProgramGetsTheMessageAndTheFile) {
  settings.way = mail::Way::MailProgram;
  std::vector<std::string> started;
  desktop.startMailProgram = [&](const std::vector<std::string>& arguments) {
    started = arguments;
    return true;
  };
  Server unused(Server::Mode::Accept);
  EXPECT_FALSE(Mail(unused));
  ASSERT_EQ(started.size(), 8u);
  EXPECT_EQ(started[0], "xdg-email");
  EXPECT_EQ(started[2], "Ihre Rechnung – bitte prüfen");
  EXPECT_EQ(started[7], "meier@example.org");
  std::ifstream pdf(started[6], std::ios::binary);
  std::string head(5, '\0');
  pdf.read(head.data(), 5);
  EXPECT_EQ(head, "%PDF-");
  std::filesystem::remove_all(std::filesystem::path(started[6]).parent_path());
  EXPECT_EQ(StoredFlags() & store::kOrderInvoicePrinted, 0);
  EXPECT_TRUE(unused.commands().empty());
}

TEST_F(MailDialogTest, PrintDialogOffersEveryDocumentKindByMail) {
  std::vector<std::pair<orders::DocumentKind, std::string>> calls;
  orders::SetMailDocumentCall([&](frame::AppState&, orders::DocumentKind kind,
                                  const std::string& date, QWidget*) {
    calls.emplace_back(kind, date);
    return false;
  });
  orders::RechnungDruckenDialog dialog(app, {});
  auto* button = frame::Control<QPushButton>(&dialog, 2303);
  ASSERT_NE(button, nullptr);
  ASSERT_NE(button->menu(), nullptr);
  for (QAction* action : button->menu()->actions()) action->trigger();
  EXPECT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls.back(), std::pair(orders::DocumentKind::Invoice, std::string("03.12.2026")));
  orders::SetMailDocumentCall({});
}

}  // namespace

namespace {

// A mailed invoice is the PDF invoice print --pdf writes: with the setting
// on it carries its e-invoice.
TEST(MailedPdf, AnInvoiceCarriesItsEInvoiceWhenTheSettingSaysSo) {
  for (const bool on : {true, false}) {
    testsupport::TestApp t;
    einvoicetest::Prepare(t.app, einvoicetest::Cases().front(), 1261200001);
    einvoice::Settings settings = einvoice::LoadSettings(t.app.dataDirectory);
    settings.pdfEInvoice = on;
    ASSERT_TRUE(einvoice::SaveSettings(t.app.dataDirectory, settings));
    const orders::DocumentPdf pdf =
        orders::OrderDocumentPdf(t.app, orders::DocumentKind::Invoice, "06.12.2026");
    ASSERT_EQ(pdf.problem, "");
    EXPECT_EQ(pdf.bytes.find("factur-x.xml") != std::string::npos, on);
  }
}

}  // namespace
