// belvon-cli mail as a user runs it, against an SMTP server of the test's
// own on 127.0.0.1 and a stand-in xdg-email on the PATH.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "einvoice/einvoice_seller.h"
#include "mail/mail_settings.h"
#include "mail/message.h"
#include "mail/send.h"
#include "mail/mail_fixture.h"
#include "mail/smtp_server.h"
#include "store/address_file.h"
#include "store/einvoice_settings.h"
#include "store/parameter_file.h"
#include "support/order_book.h"
#include "support/run_command.h"

namespace {

using Server = testsupport::SmtpServer;

constexpr const char* kPassword = "Kennwort-q8Zr";

struct MailCli : ::testing::Test {
  MailCli() {
    store::SetText(book.app.parameters.currencySymbol1, "EUR");
    store::SetText(book.app.parameters.companyName1, "Tischlerei Gro\xdf");
    frame::SaveParameters(book.app);
    customer = book.customer("Meier");
    store::SetText(book.app.address.email, "meier@example.org");
    std::int32_t position = book.app.addresses.position;
    store::WriteAddress(book.app, book.app.address, position, false);
    number = book.order(customer, 0, {testsupport::BookLine{1, 1000}}).orderNumber;
  }

  int run(const std::string& arguments, std::string* out, std::string* errors,
          const std::string& environment = "") {
    mail::SaveSettings(book.app.dataDirectory, settings);
    const std::string cli = testsupport::BuiltProgram("belvon-cli");
    EXPECT_FALSE(cli.empty());
    return testsupport::RunCommand(environment + " BELVON_SMTP_PASSWORD=" + kPassword + " " + cli +
                                       " --data-dir " + book.dir.path() + " --yes mail " + arguments,
                                   out, errors);
  }

  std::string order() const { return std::to_string(number); }

  void ExpectThePasswordInNoFile() const {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(book.dir.path())) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      std::stringstream content;
      content << in.rdbuf();
      EXPECT_EQ(content.str().find(kPassword), std::string::npos) << entry.path();
    }
  }

  testsupport::OrderBook book;
  mail::Settings settings = mailtest::LocalSettings();
  std::int32_t number = 0;
  std::int32_t customer = -1;  // Meier, with an e-mail address
};

TEST_F(MailCli, AnAcceptedInvoiceIsIssuedAndThePasswordStaysOutOfEveryFile) {
  Server server(Server::Mode::Accept);
  settings.port = server.port();
  settings.keepCopy = true;
  std::string out, errors;
  ASSERT_EQ(run("3 --order " + order() + " --issue", &out, &errors), 0) << errors;
  EXPECT_EQ(out, "Rechnung " + order() + " an meier@example.org gesendet\n");
  EXPECT_TRUE(book.stored(number).flags & store::kOrderInvoicePrinted);
  const std::string message = server.message();
  EXPECT_NE(message.find("Subject: " + mail::EncodeHeaderText("Rechnung " + order() +
                                                               " von Tischlerei Groß")),
            std::string::npos)
      << message.substr(0, 400);
  const std::size_t pdf = message.find("filename=\"Rechnung-" + order() + ".pdf\"");
  ASSERT_NE(pdf, std::string::npos);
  const std::string bytes =
      mail::DecodeBase64(message.substr(message.find("\r\n\r\n", pdf), message.rfind("--=_") - pdf));
  EXPECT_EQ(bytes.rfind("%PDF-", 0), 0u);
  EXPECT_NE(bytes.find("%%EOF"), std::string::npos);
  ExpectThePasswordInNoFile();
  EXPECT_EQ(mail::ReadLog(book.dir.path()).size(), 1u);
}

// Without BELVON_SMTP_PASSWORD the password is asked on the terminal, with
// the echo off: it is seen neither on the screen nor in any file.
TEST_F(MailCli, WithoutThePasswordInTheEnvironmentItIsAskedOnTheTerminalUnseen) {
  Server server(Server::Mode::Accept);
  settings.port = server.port();
  mail::SaveSettings(book.app.dataDirectory, settings);
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  ASSERT_FALSE(cli.empty());
  const std::string directory = book.dir.path(), orderText = order();
  int terminal = -1;
  const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
  ASSERT_GE(child, 0);
  if (child == 0) {
    unsetenv("BELVON_SMTP_PASSWORD");
    execl(cli.c_str(), cli.c_str(), "--data-dir", directory.c_str(), "mail", "3", "--order",
          orderText.c_str(), "--issue", static_cast<char*>(nullptr));
    _exit(127);
  }
  std::string screen;
  auto readUntil = [&](const std::string& wanted) {
    pollfd ready{terminal, POLLIN, 0};
    char buffer[512];
    while (screen.find(wanted) == std::string::npos && poll(&ready, 1, 10000) > 0) {
      const ssize_t n = read(terminal, buffer, sizeof buffer);
      if (n <= 0) break;
      screen.append(buffer, static_cast<std::size_t>(n));
    }
  };
  const std::string prompt = "Passwort für buero an 127.0.0.1: ";
  readUntil(prompt);
  EXPECT_NE(screen.find(prompt), std::string::npos) << screen;
  // Typed once the terminal no longer echoes (input before is discarded).
  termios mode{};
  for (int i = 0; i < 200 && tcgetattr(terminal, &mode) == 0 && (mode.c_lflag & ECHO); ++i)
    usleep(10 * 1000);
  EXPECT_FALSE(mode.c_lflag & ECHO);
  const std::string typed = std::string(kPassword) + "\n";
  ASSERT_EQ(write(terminal, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
  readUntil(" gesendet");
  int status = 0;
  waitpid(child, &status, 0);
  close(terminal);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << screen;
  EXPECT_NE(screen.find("Rechnung " + order() + " an meier@example.org gesendet"), std::string::npos)
      << screen;
  EXPECT_EQ(screen.find(kPassword), std::string::npos) << screen;
  EXPECT_TRUE(book.stored(number).flags & store::kOrderInvoicePrinted);
  bool loggedIn = false;
  for (const std::string& command : server.commands())
    if (command.starts_with("AUTH PLAIN"))
      loggedIn = mail::DecodeBase64(command.substr(10)).find(kPassword) != std::string::npos;
  EXPECT_TRUE(loggedIn);
  ExpectThePasswordInNoFile();
}

TEST_F(MailCli, WithoutAcceptanceTheOrderStaysUnissued) {
  struct Case {
    Server::Mode mode;
    const char* said;
    bool unknown;  // the message went out: noted as of unknown delivery
  };
  for (const Case& c : {Case{Server::Mode::RefuseRecipient, "abgelehnt.\nAntwort des Servers: 550 5.1.1 Postfach unbekannt", false},
                        Case{Server::Mode::DropAfterData, "brach ab, nachdem er die E-Mail erhalten", true},
                        Case{Server::Mode::Silent, "nicht rechtzeitig geantwortet (Zeitlimit 1 s)", false}}) {
    SCOPED_TRACE(c.said);
    std::filesystem::remove(book.dir.file(mail::kLogFileName));
    Server server(c.mode);
    settings.port = server.port();
    std::string out, errors;
    EXPECT_EQ(run("3 --order " + order() + " --issue", &out, &errors), 1);
    EXPECT_NE(errors.find(c.said), std::string::npos) << errors;
    EXPECT_EQ(+book.stored(number).flags, 0);
    const std::vector<std::string> log = mail::ReadLog(book.dir.path());
    EXPECT_EQ(log.size(), c.unknown ? 1u : 0u);
    if (c.unknown && !log.empty()) {
      EXPECT_TRUE(log[0].ends_with("\tZustellung unbekannt")) << log[0];
    }
  }
  // A bad address is refused before anything connects.
  Server server(Server::Mode::Accept);
  settings.port = server.port();
  std::string out, errors;
  EXPECT_EQ(run("3 --order " + order() + " --issue --to meier.example.org", &out, &errors), 1);
  EXPECT_NE(errors.find("keine gültige E-Mail-Adresse"), std::string::npos) << errors;
  EXPECT_TRUE(server.commands().empty());
  EXPECT_EQ(+book.stored(number).flags, 0);
}

// A customer whose address asks for the XRechnung gets the file
// `belvon-cli einvoice` writes for the invoice beside its PDF; while the
// XRechnung cannot be made, no mail goes and nothing is issued.
TEST_F(MailCli, AnInvoiceCarriesTheXRechnungWhenTheAddressAsksForIt) {
  book.app.address.salutation = store::kAddressSendXRechnung;
  store::SetText(book.app.address.town, "34119 Kassel");
  store::SetText(book.app.address.customerNumber, "10001");
  std::int32_t position = customer;
  ASSERT_EQ(store::WriteAddress(book.app, book.app.address, position, false), 1);
  {
    Server server(Server::Mode::Accept);
    settings.port = server.port();
    std::string out, errors;
    EXPECT_EQ(run("3 --order " + order() + " --issue", &out, &errors), 1);
    EXPECT_NE(errors.find("Der Kunde erhält Rechnungen mit XRechnung"), std::string::npos) << errors;
    EXPECT_NE(errors.find("IBAN"), std::string::npos) << errors;
    EXPECT_TRUE(server.commands().empty());
    EXPECT_EQ(+book.stored(number).flags, 0);
  }
  store::AddressRecord buyer{};
  einvoicetest::Complete(book.app.parameters, buyer);
  frame::SaveParameters(book.app);
  einvoice::Settings einvoiceSettings;
  einvoiceSettings.taxNumber = "12/345/67890";
  einvoiceSettings.exemption = einvoice::Exemption::SmallBusiness;
  ASSERT_TRUE(einvoice::SaveSettings(book.dir.path(), einvoiceSettings));
  Server server(Server::Mode::Accept);
  settings.port = server.port();
  std::string out, errors;
  ASSERT_EQ(run("3 --order " + order() + " --issue --date 04.12.2026", &out, &errors), 0) << errors;
  EXPECT_TRUE(book.stored(number).flags & store::kOrderInvoicePrinted);
  const std::string message = server.message();
  const std::string name = "Rechnung-" + order() + ".xml";
  const std::size_t at = message.find("filename=\"" + name + "\"");
  ASSERT_NE(at, std::string::npos);
  EXPECT_LT(message.find("filename=\"Rechnung-" + order() + ".pdf\""), at);
  const std::size_t start = message.find("\r\n\r\n", at) + 4;
  const std::string xml = mail::DecodeBase64(message.substr(start, message.find("--", start) - start));

  const std::string written = book.dir.file("R.xml");
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  ASSERT_EQ(testsupport::RunCommand(cli + " --data-dir " + book.dir.path() + " einvoice --order " +
                                    order() + " --output " + written),
            0);
  std::ifstream in(written, std::ios::binary);
  std::stringstream file;
  file << in.rdbuf();
  EXPECT_EQ(xml, file.str());
  EXPECT_NE(xml.find("<udt:DateTimeString format=\"102\">20261204</udt:DateTimeString>"),
            std::string::npos);
}

TEST_F(MailCli, TheMailProgramGetsSubjectTextAndTheFile) {
  settings.way = mail::Way::MailProgram;
  const std::string bin = book.dir.file("bin");
  std::filesystem::create_directories(bin);
  const std::string record = book.dir.file("arguments.txt");
  {
    std::ofstream script(bin + "/xdg-email");
    script << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" << record << "'\n";
  }
  chmod((bin + "/xdg-email").c_str(), 0755);
  std::string out, errors;
  ASSERT_EQ(run("1 --order " + order() + " --to anna@example.com", &out, &errors,
                "PATH=" + bin + ":$PATH"),
            0)
      << errors;
  std::ifstream in(record);
  std::vector<std::string> arguments;
  for (std::string line; std::getline(in, line);) arguments.push_back(line);
  ASSERT_GE(arguments.size(), 7u);
  EXPECT_EQ(arguments[0], "--subject");
  EXPECT_EQ(arguments[1], "Angebot " + order() + " von Tischlerei Groß");
  EXPECT_EQ(arguments[2], "--body");
  EXPECT_EQ(arguments[3], "Sehr geehrte Damen und Herren,");
  EXPECT_EQ(arguments[arguments.size() - 3], "--attach");
  const std::string file = arguments[arguments.size() - 2];
  EXPECT_EQ(out, file + "\n");
  EXPECT_TRUE(file.ends_with("/Angebot-" + order() + ".pdf"));
  EXPECT_TRUE(std::filesystem::file_size(file) > 1000);
  EXPECT_EQ(arguments.back(), "anna@example.com");
  std::filesystem::remove_all(std::filesystem::path(file).parent_path());
  // Through the mail program nothing counts as issued.
  EXPECT_EQ(run("1 --order " + order() + " --issue", &out, &errors), 2);
  EXPECT_EQ(+book.stored(number).flags, 0);
}

}  // namespace

namespace {

// One mail per customer with his dunning letters; the levels of a customer
// are stored only once his mail was accepted.
TEST_F(MailCli, DunningLettersGoOneMailPerCustomer) {
  store::ParameterRecord& p = book.app.parameters;
  for (int i = 0; i < 3; ++i) p.dunningPeriods[i] = static_cast<std::int16_t>(14 * (i + 1));
  store::SetText(p.dunningText1, book.dir.file("stufe1.txt"));
  frame::SaveParameters(book.app);
  std::ofstream(book.dir.file("stufe1.txt"), std::ios::binary) << "Bitte zahlen.";
  const std::int32_t meier = customer;
  const std::int32_t schulz = book.customer("Schulz");  // no e-mail address
  auto invoice = [&](std::int32_t ref) {
    return book.order(ref, store::kOrderInvoicePrinted, {{1, 12345}}, "06.11.2026").orderNumber;
  };
  const std::int32_t first = invoice(meier), second = invoice(meier), other = invoice(schulz);

  {
    Server refusing(Server::Mode::RefuseRecipient);
    settings.port = refusing.port();
    std::string out, errors;
    EXPECT_EQ(run("16 --date 06.12.2026 --issue", &out, &errors), 1);
    EXPECT_NE(errors.find("550 5.1.1"), std::string::npos) << errors;
    EXPECT_EQ(+book.stored(first).dunningLevel, 0);
  }
  Server server(Server::Mode::Accept);
  settings.port = server.port();
  std::string out, errors;
  EXPECT_EQ(run("16 --date 06.12.2026 --issue", &out, &errors), 1);
  EXPECT_EQ(out, "Mahnung " + std::to_string(first) + ", " + std::to_string(second) +
                     " an meier@example.org gesendet\n");
  EXPECT_NE(errors.find("Schulz: Es ist keine E-Mail-Adresse"), std::string::npos) << errors;
  EXPECT_EQ(+book.stored(first).dunningLevel, 1);
  EXPECT_EQ(+book.stored(second).dunningLevel, 1);
  EXPECT_EQ(+book.stored(other).dunningLevel, 0);
  const std::string message = server.message();
  EXPECT_NE(message.find("Subject: " + mail::EncodeHeaderText("Zahlungserinnerung von Tischlerei Groß")),
            std::string::npos);
  const std::size_t pdf = message.find("filename=\"Mahnung-" + std::to_string(first) + ".pdf\"");
  ASSERT_NE(pdf, std::string::npos);
  EXPECT_EQ(mail::DecodeBase64(message.substr(message.find("\r\n\r\n", pdf), 12)).rfind("%PDF-", 0), 0u);
}

// A level without its text is told once for the run, not once for each
// customer whose letter lacks it.
TEST_F(MailCli, AMissingDunningTextIsToldOnce) {
  store::ParameterRecord& p = book.app.parameters;
  for (int i = 0; i < 3; ++i) p.dunningPeriods[i] = static_cast<std::int16_t>(14 * (i + 1));
  store::SetText(p.dunningText1, "");
  frame::SaveParameters(book.app);
  const std::int32_t schulz = book.customer("Schulz");
  store::SetText(book.app.address.email, "schulz@example.org");
  std::int32_t position = book.app.addresses.position;
  store::WriteAddress(book.app, book.app.address, position, false);
  for (std::int32_t ref : {customer, schulz})
    book.order(ref, store::kOrderInvoicePrinted, {{1, 12345}}, "06.11.2026");
  Server server(Server::Mode::Accept);
  settings.port = server.port();
  std::string out, errors;
  run("16 --date 06.12.2026", &out, &errors);
  const std::string told = "Für die 1. Mahnstufe ist keine Textdatei angegeben";
  const std::size_t first = errors.find(told);
  ASSERT_NE(first, std::string::npos) << errors;
  EXPECT_EQ(errors.find(told, first + 1), std::string::npos) << errors;
  EXPECT_NE(out.find("an schulz@example.org gesendet"), std::string::npos) << out;
  EXPECT_NE(out.find("an meier@example.org gesendet"), std::string::npos) << out;
}

}  // namespace
