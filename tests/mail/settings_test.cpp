// MAIL.INI and the templates.
#include <gtest/gtest.h>

#include "mail/mail_settings.h"
#include "mail/templates.h"
#include "store/order_record.h"
#include "store/text_field.h"
#include "support/test_app.h"

namespace {

TEST(MailSettings, EveryValueSurvivesTheFile) {
  mail::Settings s;
  s.way = mail::Way::MailProgram;
  s.server = "smtp.example.de";
  s.port = 465;
  s.security = mail::Security::Tls;
  s.user = "buero@example.de";
  s.sender = "rechnung@example.de";
  s.senderName = "Groß & Söhne";
  s.copyToSender = s.keepCopy = true;
  s.timeoutSeconds = 12;
  s.subject = "{Belegart} {Nummer}";
  s.body = "Zeile 1\nC:\\Pfad\\n bleibt\n\nEnde";
  s.invoiceBody = "Betrag: {Betrag}\n";
  s.dunningSubject = "Mahnung";
  s.dunningBody = "Offen: {Nummer}";
  const mail::Settings back = mail::ParseSettings(mail::SettingsText(s));
  EXPECT_EQ(mail::SettingsText(back), mail::SettingsText(s));
  EXPECT_EQ(back.body, s.body);
  EXPECT_EQ(back.dunningBody, s.dunningBody);
  EXPECT_EQ(back.security, mail::Security::Tls);
  EXPECT_EQ(back.way, mail::Way::MailProgram);
  EXPECT_TRUE(back.keepCopy && back.copyToSender);
  EXPECT_EQ(back.port, 465);
}

TEST(MailSettings, BadValuesKeepTheirDefaultAndAreNamed) {
  std::string problem;
  const mail::Settings s =
      mail::ParseSettings("[E-Mail]\nPort=99999\nZeitlimit=0\nServer=\xe4x\nVerschluesselung=?\n", &problem);
  EXPECT_EQ(s.port, 587);
  EXPECT_EQ(s.timeoutSeconds, mail::kDefaultTimeout);
  EXPECT_EQ(s.server, "");
  EXPECT_EQ(s.security, mail::Security::StartTls);
  for (const char* named : {"Port", "Zeitlimit", "\"Server\""})
    EXPECT_NE(problem.find(named), std::string::npos) << named;
}

TEST(MailTemplates, PlaceholdersAreFilledUnknownOnesStay) {
  const mail::Fields f{"Rechnung", "1234", "03.12.2026", "1.190,00 EUR", "17.12.2026", "Groß GmbH"};
  EXPECT_EQ(mail::Fill("{Belegart} {Nummer} vom {Datum} über {Betrag}, fällig {Faellig}. {Firma} "
                       "{Foo} {Nummer",
                       f),
            "Rechnung 1234 vom 03.12.2026 über 1.190,00 EUR, fällig 17.12.2026. Groß GmbH {Foo} "
            "{Nummer");
  const mail::Settings defaults;
  EXPECT_EQ(mail::DocumentText(defaults, orders::DocumentKind::Invoice, f).subject,
            "Rechnung 1234 von Groß GmbH");
  EXPECT_NE(mail::DocumentText(defaults, orders::DocumentKind::Invoice, f).body.find("bis zum 17.12.2026"),
            std::string::npos);
  EXPECT_EQ(mail::DocumentText(defaults, orders::DocumentKind::Quotation, f).body.find("Betrag"),
            std::string::npos);
}

// The invoice text asks for payment only where the page does: a paid
// invoice thanks, a credit note names no due date; the rest of the
// template stays as typed.
TEST(MailTemplates, TheInvoiceTextFollowsTheOpenAmount) {
  testsupport::TestApp t;
  store::SetText(t.app.order.invoiceDate, "07.12.2026");
  t.app.order.paymentPeriod = 30;
  const mail::Settings defaults;
  const std::string head = "Sehr geehrte Damen und Herren,\n\nim Anhang erhalten Sie unsere ";
  const std::string tail = "\nMit freundlichen Grüßen\n\n";
  struct Case {
    std::int32_t total, paid;
    std::string body;
  };
  for (const Case& c : std::initializer_list<Case>{
           {11900, 0, "Rechnung Nr. 0 vom 07.12.2026 über 119.00 .\n"
                      "Bitte überweisen Sie den Betrag bis zum 06.01.2027.\n"},
           {11900, 5000, "Rechnung Nr. 0 vom 07.12.2026 über 119.00 .\n"
                         "Bitte überweisen Sie den Betrag bis zum 06.01.2027.\n"},
           {11900, 11900, "Rechnung Nr. 0 vom 07.12.2026 über 119.00 .\nBetrag dankend erhalten.\n"},
           {-5950, 0, "Gutschrift Nr. 0 vom 07.12.2026 über -59.50 .\n"}}) {
    // One tax-free line of the amount: the text names what the lines state.
    t.app.order.lineCount = 1;
    t.app.orderLines[1] = store::OrderLine{};
    t.app.orderLines[1].quantity = 1;
    t.app.orderLines[1].salePrice = c.total;
    t.app.orderLines[1].taxCode = store::kTaxCodeNone;
    t.app.order.total = c.total;
    t.app.order.paid = c.paid;
    const mail::Fields fields = mail::OrderFields(t.app, orders::DocumentKind::Invoice, "");
    EXPECT_EQ(mail::DocumentText(defaults, orders::DocumentKind::Invoice, fields).body,
              head + c.body + tail)
        << c.total << " " << c.paid;
  }
}

}  // namespace
