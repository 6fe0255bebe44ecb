// The "E-Mail" dialog shows MAIL.INI and writes back what it shows.
#include <gtest/gtest.h>

#include "app/email_dialog.h"
#include "support/test_app.h"

namespace {

TEST(EmailDialog, ShowsEveryValueOfTheFileAndStoresItAsShown) {
  testsupport::TestApp t;
  for (const auto& [way, security] : {std::pair{mail::Way::MailProgram, mail::Security::Tls},
                                     std::pair{mail::Way::Smtp, mail::Security::None}}) {
    mail::Settings s;
    s.way = way;
    s.server = "smtp.example.de";
    s.port = 465;
    s.security = security;
    s.user = "buero";
    s.sender = "rechnung@example.de";
    s.senderName = "Groß";
    s.copyToSender = true;
    s.keepCopy = way == mail::Way::Smtp;
    s.timeoutSeconds = 9;
    s.subject = "{Belegart}";
    s.body = "A\nB";
    s.invoiceBody = "C";
    s.dunningSubject = "D";
    s.dunningBody = "E\n";
    ASSERT_TRUE(mail::SaveSettings(t.app.dataDirectory, s));
    frame::EmailDialog dialog(t.app);
    EXPECT_EQ(mail::SettingsText(dialog.settings()), mail::SettingsText(s));
    ASSERT_TRUE(dialog.save());
    EXPECT_EQ(mail::SettingsText(mail::LoadSettings(t.app.dataDirectory)), mail::SettingsText(s));
  }
}

}  // namespace
