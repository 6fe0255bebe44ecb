// "Mahnungen per E-Mail senden": one mail per customer, the password asked
// once, the levels stored for the accepted mails only, and the user told
// who got what.
#include <gtest/gtest.h>

#include <fstream>

#include "mail/mail_settings.h"
#include "mail/mail_fixture.h"
#include "mail/smtp_server.h"
#include "mail/ui/mail_dialog.h"
#include "store/parameter_file.h"
#include "support/order_book.h"

namespace {

using Server = testsupport::SmtpServer;

struct DunningMailTest : ::testing::Test, testsupport::OrderBook {
  DunningMailTest() {
    store::ParameterRecord& p = app.parameters;
    for (int i = 0; i < 3; ++i) p.dunningPeriods[i] = static_cast<std::int16_t>(14 * (i + 1));
    store::SetText(p.dunningText1, dir.file("stufe1.txt"));
    store::SetText(p.currencySymbol1, "EUR");
    frame::SaveParameters(app);
    std::ofstream(dir.file("stufe1.txt"), std::ios::binary) << "Bitte zahlen.";
    const std::int32_t meier = customer("Meier");
    store::SetText(app.address.email, "meier@example.org");
    std::int32_t position = app.addresses.position;
    store::WriteAddress(app, app.address, position, false);
    const std::int32_t schulz = customer("Schulz");
    for (std::int32_t ref : {meier, meier, schulz})
      numbers.push_back(
          +order(ref, store::kOrderInvoicePrinted, {{1, 12345}}, "06.11.2026").orderNumber);
    desktop.passwords = &passwords;
    desktop.askPassword = [this](QWidget*, const std::string&) {
      ++asked;
      return std::optional<std::string>("geheim");
    };
  }

  void Mail(const Server& server) {
    settings.port = server.port();
    mail::SaveSettings(app.dataDirectory, settings);
    mail::MailDunning(app, "06.12.2026", nullptr, desktop);
  }

  mail::Settings settings = mailtest::LocalSettings();
  mail::PasswordStore passwords{false};
  mail::Desktop desktop;
  std::vector<std::int32_t> numbers;
  int asked = 0;
};

TEST_F(DunningMailTest, AcceptedMailsStoreTheirCustomersLevelsOnly) {
  {
    Server refusing(Server::Mode::RefuseRecipient);
    Mail(refusing);
    EXPECT_EQ(+stored(numbers[0]).dunningLevel, 0);
    ASSERT_FALSE(ui.texts().empty());
    EXPECT_NE(ui.texts().back().find("Meier: nicht gesendet\n    "), std::string::npos)
        << ui.texts().back();
  }
  Server server(Server::Mode::Accept);
  Mail(server);
  EXPECT_EQ(asked, 1);  // the refusal was no login failure: the password stays for the session
  EXPECT_EQ(+stored(numbers[0]).dunningLevel, 1);
  EXPECT_EQ(+stored(numbers[1]).dunningLevel, 1);
  EXPECT_EQ(+stored(numbers[2]).dunningLevel, 0);
  const std::string report = ui.texts().back();
  EXPECT_NE(report.find("Meier: Mahnung " + std::to_string(numbers[0]) + ", " +
                        std::to_string(numbers[1]) + " an meier@example.org gesendet"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find("Schulz: nicht gesendet\n    Es ist keine E-Mail-Adresse"), std::string::npos)
      << report;
}

}  // namespace
