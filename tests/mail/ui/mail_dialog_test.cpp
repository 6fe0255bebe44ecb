// "Per E-Mail senden" from the order's print dialog: the dialog shows what
// goes out, the password is asked once per session, and only a message the
// server took issues the document.
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "einvoice/einvoice_cases.h"
#include "einvoice/einvoice_file.h"
#include "mail/mail_settings.h"
#include "mail/message.h"
#include "mail/mail_fixture.h"
#include "mail/smtp_server.h"
#include "mail/ui/mail_dialog.h"
#include "mail/ui/mail_menu.h"
#include "orders/order_math.h"
#include "orders/ui/document_pdf.h"
#include "orders/ui/rechnungdrucken_dialog.h"
#include "store/address_file.h"
#include "store/order_file.h"
#include "store/parameter_file.h"
#include "store/records_test_support.h"
#include "support/run_command.h"
#include "widgets/dialog_support.h"

namespace {

using Server = testsupport::SmtpServer;

class MailDialogTest : public testsupport::StoreTest {
 protected:
  MailDialogTest() {
    mailtest::MeierWithAnOrder(app);
    desktop.passwords = &passwords;
    desktop.askPassword = [this](QWidget*, const std::string& prompt) {
      prompts.push_back(prompt);
      return std::optional<std::string>("geheim");
    };
    desktop.review = [this](mail::MailDialog& dialog) {
      shownTo = dialog.to();
      shownSubject = dialog.subject();
      shownLabels.clear();
      for (const QLabel* label : dialog.findChildren<QLabel*>())
        shownLabels += label->text().toStdString() + "|";
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

  // Seller, buyer and settings complete enough for an XRechnung, and the
  // customer's address asking for it (kept in the file when `store`).
  void AskForXRechnung(bool store) {
    store::AddressRecord seller{};
    einvoicetest::Complete(app.parameters, seller);
    ASSERT_GT(frame::SaveParameters(app), 0);
    einvoice::Settings einvoiceSettings;
    einvoiceSettings.taxNumber = "12/345/67890";
    ASSERT_TRUE(einvoice::SaveSettings(app.dataDirectory, einvoiceSettings));
    store::SetText(app.address.street, "Lindenallee 3");
    store::SetText(app.address.town, "34119 Kassel");
    app.address.salutation = store::kSalutationCompany | store::kAddressSendXRechnung;
    std::int32_t at = app.addresses.position;
    if (store) { ASSERT_TRUE(store::WriteAddress(app, app.address, at, false)); }
  }

  // The arguments the stand-in mail program was started with; nothing
  // connects and nothing is issued.
  std::vector<std::string> MailByProgram() {
    settings.way = mail::Way::MailProgram;
    std::vector<std::string> started;
    desktop.startMailProgram = [&](const std::vector<std::string>& arguments) {
      started = arguments;
      return true;
    };
    Server unused(Server::Mode::Accept);
    EXPECT_FALSE(Mail(unused));
    EXPECT_TRUE(unused.commands().empty());
    EXPECT_EQ(StoredFlags() & store::kOrderInvoicePrinted, 0);
    return started;
  }

  std::uint16_t StoredFlags() {
    store::OrderHead head{};
    store::ReadOrder(app, head, app.orders.position);
    return head.flags;
  }

  mail::Settings settings = mailtest::LocalSettings();
  mail::PasswordStore passwords{false};
  mail::Desktop desktop;
  std::vector<std::string> prompts;
  std::string shownTo, shownSubject, shownLabels, typedTo;
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

// The files go as they would by SMTP: the PDF, and the XRechnung when the
// address asks for it.
TEST_F(MailDialogTest, TheMailProgramGetsTheMessageAndTheFiles) {
  const std::string number = std::to_string(app.order.orderNumber);
  const struct {
    bool xml;
    std::vector<std::pair<std::string, std::string>> files;  // name, first bytes
  } cases[] = {{false, {{"Rechnung-" + number + ".pdf", "%PDF-"}}},
               {true, {{"Rechnung-" + number + ".pdf", "%PDF-"},
                       {"Rechnung-" + number + ".xml", "<?xml"}}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.xml);
    if (c.xml) AskForXRechnung(false);
    const std::vector<std::string> started = MailByProgram();
    ASSERT_EQ(started.size(), 6 + 2 * c.files.size());
    EXPECT_EQ(started[0], "xdg-email");
    EXPECT_EQ(started[2], "Ihre Rechnung – bitte prüfen");
    EXPECT_EQ(started.back(), "meier@example.org");
    for (std::size_t i = 0; i < c.files.size(); ++i) {
      EXPECT_EQ(started[5 + 2 * i], "--attach");
      const std::filesystem::path file = started[6 + 2 * i];
      EXPECT_EQ(file.filename(), c.files[i].first);
      std::ifstream in(file, std::ios::binary);
      std::string head(5, '\0');
      in.read(head.data(), 5);
      EXPECT_EQ(head, c.files[i].second);
    }
    std::filesystem::remove_all(std::filesystem::path(started[6]).parent_path());
  }
}

// The decoded attachments of a received message, by file name.
std::map<std::string, std::string> Attachments(const std::string& message) {
  std::map<std::string, std::string> found;
  const std::string marker = "Content-Disposition: attachment; filename=\"";
  for (std::size_t at = message.find(marker); at != std::string::npos;
       at = message.find(marker, at + 1)) {
    const std::size_t name = at + marker.size();
    const std::size_t start = message.find("\r\n\r\n", name) + 4;
    found[message.substr(name, message.find('"', name) - name)] =
        mail::DecodeBase64(message.substr(start, message.find("--", start) - start));
  }
  return found;
}

// A customer whose address asks for the XRechnung gets it beside the PDF of
// an invoice, and only of an invoice; when it cannot be made nothing goes.
TEST_F(MailDialogTest, AnInvoiceCarriesTheXRechnungWhenTheAddressAsksForIt) {
  AskForXRechnung(true);
  app.orderLines[1].quantity = 3, app.orderLines[1].salePrice = 4250;
  app.order.total = orders::ComputeOrderTotal(app.order, app.orderLines, app.parameters);
  std::int32_t position = app.orders.position;
  ASSERT_GT(store::StoreOrder(app, app.order, position, store::StoreMode::Rewrite), 0);
  const std::string number = std::to_string(app.order.orderNumber);

  {  // Without the town the buyer is incomplete: no mail, no issue.
    Server server(Server::Mode::Accept);
    store::SetText(app.address.town, "");
    EXPECT_FALSE(Mail(server));
    store::SetText(app.address.town, "34119 Kassel");
    ASSERT_FALSE(ui.texts().empty());
    EXPECT_EQ(ui.texts().back().rfind("Der Kunde erhält Rechnungen mit XRechnung", 0), 0u)
        << ui.texts().back();
    EXPECT_TRUE(server.commands().empty());
    EXPECT_EQ(StoredFlags() & store::kOrderInvoicePrinted, 0);
  }
  {  // A quotation goes as its PDF alone.
    Server server(Server::Mode::Accept);
    EXPECT_TRUE(Mail(server, orders::DocumentKind::Quotation));
    const auto files = Attachments(server.message());
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files.begin()->first, "Angebot-" + number + ".pdf");
  }
  Server server(Server::Mode::Accept);
  EXPECT_TRUE(Mail(server));
  EXPECT_TRUE(StoredFlags() & store::kOrderInvoicePrinted);
  const auto files = Attachments(server.message());
  ASSERT_EQ(files.size(), 2u);
  ASSERT_TRUE(files.count("Rechnung-" + number + ".pdf"));
  ASSERT_TRUE(files.count("Rechnung-" + number + ".xml"));
  EXPECT_NE(shownLabels.find("|Anhänge|"), std::string::npos) << shownLabels;
  EXPECT_NE(shownLabels.find("|Rechnung-" + number + ".pdf, Rechnung-" + number + ".xml|"),
            std::string::npos)
      << shownLabels;
  EXPECT_NE(server.message().find("Content-Type: application/xml; name=\"Rechnung-" + number),
            std::string::npos);
  // The XML is the one the issued invoice gives: what `belvon-cli einvoice`
  // writes for it now.
  store::ReadOrder(app, app.order, app.orders.position);
  const einvoice::Document issued = einvoice::MakeDocument(app);
  ASSERT_TRUE(issued.ok) << issued.message;
  const std::string& xml = files.at("Rechnung-" + number + ".xml");
  EXPECT_EQ(xml, issued.xml);
  EXPECT_NE(xml.find("<ram:GrandTotalAmount>151.73</ram:GrandTotalAmount>"), std::string::npos);

  // And the official rules take it.
  const std::string file = dir.file("Rechnung.xml");
  std::ofstream(file, std::ios::binary) << xml;
  std::string report;
  const int status = testsupport::RunCommand(std::string(BELVON_CII_KIT) + " -q " + file, &report);
  if (status == 4) GTEST_SKIP() << "Java, Saxon-HE oder xmllint fehlen (make deps)";
  EXPECT_EQ(status, 0) << report;
}

// An invoice printed on 01.12. and mailed on 03.12.: the PDF's date and
// terms and the XRechnung state one invoice date — the one it was issued
// with, or the date of sending when the user does not keep the old one —
// and the XML is what the invoice as stored afterwards gives.
TEST_F(MailDialogTest, AnInvoicePrintedBeforeStatesOneInvoiceDateEverywhere) {
  AskForXRechnung(true);
  app.parameters.printPaymentTerms = 1;
  ASSERT_GT(frame::SaveParameters(app), 0);
  app.orderLines[1].quantity = 3, app.orderLines[1].salePrice = 4250;
  app.order.paymentPeriod = 14;
  app.order.flags |= store::kOrderInvoicePrinted;
  store::SetText(app.order.invoiceDate, "01.12.2026");
  app.order.total = orders::ComputeOrderTotal(app.order, app.orderLines, app.parameters);
  std::int32_t position = app.orders.position;
  ASSERT_GT(store::StoreOrder(app, app.order, position, store::StoreMode::Rewrite), 0);
  const std::string number = std::to_string(app.order.orderNumber);
  // Issued, the invoice keeps its date: mailed again by either way, it is
  // not asked for and the copy states the date of the issue.
  const struct {
    mail::Way way;
    std::string date, due;
  } cases[] = {{mail::Way::MailProgram, "01.12.2026", "15.12.2026"},
               {mail::Way::Smtp, "01.12.2026", "15.12.2026"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.date + (c.way == mail::Way::Smtp ? " SMTP" : " Mailprogramm"));
    settings.way = c.way;
    std::map<std::string, std::string> files;
    desktop.startMailProgram = [&](const std::vector<std::string>& arguments) {
      for (std::size_t i = 5; i + 1 < arguments.size(); i += 2) {
        std::ifstream in(arguments[i + 1], std::ios::binary);
        files[std::filesystem::path(arguments[i + 1]).filename()] =
            std::string(std::istreambuf_iterator<char>(in), {});
      }
      std::filesystem::remove_all(std::filesystem::path(arguments[6]).parent_path());
      return true;
    };
    Server server(Server::Mode::Accept);
    EXPECT_EQ(Mail(server), c.way == mail::Way::Smtp);
    if (c.way == mail::Way::Smtp) files = Attachments(server.message());
    ASSERT_EQ(files.size(), 2u);
    store::ReadOrder(app, app.order, app.orders.position);
    EXPECT_EQ(store::GetText(app.order.invoiceDate), c.date);
    const einvoice::Document stored = einvoice::MakeDocument(app);
    ASSERT_TRUE(stored.ok) << stored.message;
    EXPECT_EQ(files["Rechnung-" + number + ".xml"], stored.xml);
    const std::string iso = c.due.substr(6, 4) + c.due.substr(3, 2) + c.due.substr(0, 2);
    const std::size_t due = stored.xml.find("<ram:DueDateDateTime>");
    ASSERT_NE(due, std::string::npos);
    EXPECT_EQ(stored.xml.find(">" + iso + "<", due), stored.xml.find("</udt:DateTimeString>", due) - iso.size() - 1);
    const std::string pdf = dir.file("Rechnung.pdf");
    std::ofstream(pdf, std::ios::binary) << files["Rechnung-" + number + ".pdf"];
    std::string text;
    ASSERT_EQ(testsupport::RunCommand("pdftotext -layout " + pdf + " -", &text), 0);
    EXPECT_NE(text.find("Datum: " + c.date), std::string::npos) << text;
    EXPECT_NE(text.find("bis zum " + c.due), std::string::npos) << text;
    EXPECT_TRUE(ui.questions().empty());
  }
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
