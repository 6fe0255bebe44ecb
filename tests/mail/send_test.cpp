// A document mailed to a real SMTP server on 127.0.0.1: what arrives, and
// that only a message the server took marks the order as issued, is noted
// in the log and kept; the password lands in no file of the data directory.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "mail/mail_settings.h"
#include "mail/message.h"
#include "mail/send.h"
#include "mail/templates.h"
#include "mail/mail_fixture.h"
#include "mail/smtp_server.h"
#include "store/records_test_support.h"
#include "support/run_command.h"

namespace {

using Server = testsupport::SmtpServer;

constexpr const char* kPassword = "Geheim-7f3q!";

class SendTest : public testsupport::StoreTest {
 protected:
  SendTest() {
    mailtest::MeierWithAnOrder(app);
    settings.user.clear();
    settings.senderName = "Tischlerei Groß";
    mail.kind = orders::DocumentKind::Invoice;
    mail.document = "Rechnung 1";
    mail.to = "meier@example.org";
    mail.subject = "Rechnung über 5 € – Grüße";
    mail.body = "Sehr geehrte Damen und Herren,\n\nanbei die Rechnung.\n";
    for (int i = 0; i < 3000; ++i) pdf += static_cast<char>(i % 251);
    mail.attachments.push_back({"Rechnung-1.pdf", "application/pdf", pdf});
    mail.issue = true;
    mail.invoiceDate = "03.12.2026";
  }

  mail::Outcome Send(const Server& server) {
    settings.port = server.port();
    return mail::SendBySmtp(app, settings, kPassword, mail);
  }

  bool Issued() {
    store::OrderHead head{};
    store::ReadOrder(app, head, app.orders.position);
    return head.flags & store::kOrderInvoicePrinted;
  }

  // The value of a header of the message's head.
  static std::string Header(const std::string& message, const std::string& name) {
    const std::size_t at = message.find("\r\n" + name + ": ");
    if (at == std::string::npos || at > message.find("\r\n\r\n")) return {};
    const std::size_t from = at + name.size() + 4;
    return message.substr(from, message.find("\r\n", from) - from);
  }

  // The decoded content of the MIME part whose headers contain `marker`.
  static std::string Part(const std::string& message, const std::string& marker) {
    const std::size_t at = message.find(marker);
    if (at == std::string::npos) return {};
    const std::size_t start = message.find("\r\n\r\n", at) + 4;
    return mail::DecodeBase64(message.substr(start, message.find("--", start) - start));
  }

  mail::Settings settings = mailtest::LocalSettings();
  mail::DocumentMail mail;
  std::string pdf;
};

TEST_F(SendTest, AcceptedMessageArrivesWholeAndIssuesTheDocument) {
  Server server(Server::Mode::Accept);
  settings.user = "buero";
  settings.keepCopy = true;
  settings.copyToSender = true;
  ASSERT_TRUE(mail::SaveSettings(app.dataDirectory, settings));
  const mail::Outcome outcome = Send(server);
  ASSERT_TRUE(outcome.sent) << outcome.message;
  EXPECT_TRUE(outcome.issued);
  EXPECT_EQ(outcome.message, "");
  EXPECT_TRUE(Issued());

  const std::string message = server.message();
  EXPECT_TRUE(server.messageComplete());
  EXPECT_EQ(Header(message, "Subject"), mail::EncodeHeaderText(mail.subject));
  EXPECT_NE(Header(message, "Subject").find("=?UTF-8?B?"), std::string::npos);
  EXPECT_EQ(Header(message, "Date"), "Thu, 03 Dec 2026 10:00:00 " +
                                          Header(message, "Date").substr(26));
  EXPECT_TRUE(Header(message, "Message-ID").ends_with("@example.de>"));
  EXPECT_EQ(Header(message, "To"), "meier@example.org");
  EXPECT_EQ(Part(message, "text/plain"),
            "Sehr geehrte Damen und Herren,\r\n\r\nanbei die Rechnung.\r\n");
  EXPECT_EQ(Part(message, "application/pdf"), pdf);

  // The envelope, and the login the server was given.
  const auto commands = server.commands();
  EXPECT_NE(std::find(commands.begin(), commands.end(), "MAIL FROM:<buero@example.de>"),
            commands.end());
  EXPECT_NE(std::find(commands.begin(), commands.end(), "RCPT TO:<meier@example.org>"),
            commands.end());
  // The copy to the sender is blind: in the envelope, not in the head.
  EXPECT_NE(std::find(commands.begin(), commands.end(), "RCPT TO:<buero@example.de>"),
            commands.end());
  EXPECT_EQ(message.find("buero@example.de"), message.rfind("buero@example.de"));
  EXPECT_EQ(Header(message, "Bcc"), "");
  const auto auth = std::find_if(commands.begin(), commands.end(),
                                 [](const std::string& c) { return c.starts_with("AUTH PLAIN"); });
  ASSERT_NE(auth, commands.end());
  EXPECT_NE(mail::DecodeBase64(auth->substr(10)).find(kPassword), std::string::npos);

  // Noted in the log, kept as .eml; no file of the data directory holds the
  // password.
  const auto log = mail::ReadLog(app.dataDirectory);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0], "03.12.2026 10:00\tmeier@example.org\tRechnung 1");
  int files = 0, copies = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(app.dataDirectory)) {
    if (!entry.is_regular_file()) continue;
    ++files;
    copies += entry.path().extension() == ".eml";
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(bytes.str().find(kPassword), std::string::npos) << entry.path();
    EXPECT_EQ(bytes.str().find(mail::Base64(kPassword)), std::string::npos) << entry.path();
  }
  EXPECT_EQ(copies, 1);
  EXPECT_GT(files, 3);
}

// Refused, cut off or silent: a German message with what the server said,
// and the order, the log and the copies as they were.
TEST_F(SendTest, NoAcceptanceMarksNothing) {
  struct Case {
    Server::Mode mode;
    mail::Security security;
    const char* said;
  };
  for (const Case& c : {
           Case{Server::Mode::RefuseLogin, mail::Security::None,
                "hat die Anmeldung abgelehnt (Benutzer oder Passwort falsch).\n"
                "Antwort des Servers: 535 5.7.8 Anmeldung fehlgeschlagen"},
           Case{Server::Mode::RefuseRecipient, mail::Security::None,
                "hat die Empfängeradresse meier@example.org abgelehnt.\nAntwort des Servers: 550 "
                "5.1.1 Postfach unbekannt"},
           // The copy to the sender is named as what was refused, not the customer.
           Case{Server::Mode::RefuseCopy, mail::Security::None,
                "hat die Empfängeradresse buero@example.de abgelehnt.\nAntwort des Servers: 550"},
           Case{Server::Mode::Silent, mail::Security::None,
                "hat nicht rechtzeitig geantwortet (Zeitlimit 1 s)"},
           // A server that offers no STARTTLS gets nothing in the clear.
           Case{Server::Mode::Accept, mail::Security::StartTls,
                "Die verschlüsselte Verbindung zum Mailserver 127.0.0.1:"},
       }) {
    SCOPED_TRACE(c.said);
    Server server(c.mode);
    settings.security = c.security;
    settings.user = "buero";
    settings.keepCopy = true;
    settings.copyToSender = true;
    const auto start = std::chrono::steady_clock::now();
    const mail::Outcome outcome = Send(server);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));
    EXPECT_FALSE(outcome.sent);
    EXPECT_FALSE(outcome.issued);
    EXPECT_EQ(outcome.loginRefused, c.mode == Server::Mode::RefuseLogin);
    EXPECT_NE(outcome.message.find(c.said), std::string::npos) << outcome.message;
    EXPECT_NE(outcome.message.find("Die E-Mail wurde nicht gesendet."), std::string::npos);
    EXPECT_FALSE(Issued());
    EXPECT_TRUE(mail::ReadLog(app.dataDirectory).empty());
    EXPECT_FALSE(std::filesystem::exists(app.dataDirectory + mail::kCopyFolder));
    if (c.security != mail::Security::None) {
      EXPECT_EQ(server.message(), "");
    }
  }
}

// Once the whole message is out, the server's answer is awaited beyond the
// time limit: a late one still counts; one that never comes, or a stop by
// the user, or a connection that breaks, leaves the delivery unknown, said
// so and noted so, never "not sent"; a stop before the message was out
// sends nothing.
TEST_F(SendTest, TheAnswerToTheMessageIsAwaitedAndAMissingOneLeavesDeliveryUnknown) {
  enum class Then { Wait, StopWhenAwaiting, StopAtOnce };
  struct Case {
    const char* why;
    Server::Mode mode;
    Then then;
    bool sent, unknown;
    const char* said;  // part of the message; null: none
  };
  for (const Case& c : {
           Case{"no answer", Server::Mode::NoFinalReply, Then::Wait, false, true,
                "ihre Annahme aber in 2 Sekunden nicht bestätigt"},
           Case{"stopped while awaited", Server::Mode::NoFinalReply, Then::StopWhenAwaiting, false,
                true, "Das Warten auf die Bestätigung wurde abgebrochen"},
           Case{"connection broken", Server::Mode::DropAfterData, Then::Wait, false, true,
                "nachdem er die E-Mail erhalten"},
           Case{"stopped before the message", Server::Mode::Silent, Then::StopAtOnce, false, false,
                "Das Senden wurde abgebrochen. Die E-Mail wurde nicht gesendet."},
           // Last, since it issues the order.
           Case{"late answer", Server::Mode::LateReply, Then::Wait, true, false, nullptr},
       }) {
    SCOPED_TRACE(c.why);
    std::filesystem::remove(app.path(mail::kLogFileName));
    Server server(c.mode);
    settings.port = server.port();
    settings.keepCopy = true;
    auto transmit = [&](const std::function<mail::SendResult(mail::SendControl&)>& send) {
      mail::SendControl control;
      control.finalReplySeconds = c.mode == Server::Mode::NoFinalReply ? 2 : 60;
      if (c.then == Then::StopAtOnce) control.stop = true;
      mail::SendResult result;
      std::thread sender([&] { result = send(control); });
      if (c.then == Then::StopWhenAwaiting) {
        while (!control.awaitingReply) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        control.stop = true;
      }
      sender.join();
      return result;
    };
    const mail::Outcome outcome = mail::SendBySmtp(app, settings, kPassword, mail, transmit);
    EXPECT_EQ(outcome.sent, c.sent) << outcome.message;
    EXPECT_EQ(outcome.issued, c.sent);
    EXPECT_EQ(Issued(), c.sent);
    EXPECT_EQ(outcome.deliveryUnknown, c.unknown);
    if (c.said) EXPECT_NE(outcome.message.find(c.said), std::string::npos) << outcome.message;
    else EXPECT_EQ(outcome.message, "");
    const auto log = mail::ReadLog(app.dataDirectory);
    if (c.unknown) {
      EXPECT_NE(outcome.message.find("Zustellung unbekannt"), std::string::npos);
      EXPECT_EQ(outcome.message.find("nicht gesendet"), std::string::npos);
      EXPECT_EQ(log, (std::vector<std::string>{
                         "03.12.2026 10:00\tmeier@example.org\tRechnung 1\tZustellung unbekannt"}));
    } else if (c.sent) {
      EXPECT_EQ(log, (std::vector<std::string>{"03.12.2026 10:00\tmeier@example.org\tRechnung 1"}));
    } else {
      EXPECT_TRUE(log.empty());
      EXPECT_EQ(server.message(), "");
    }
  }
}

// A port on 127.0.0.1 that nothing listens on now.
int FreePort() {
  const int probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
  close(probe);
  return ntohs(address.sin_port);
}

bool Listening(int port) {
  const int probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  const bool connected = connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(probe);
  return connected;
}

// The server's certificate is always checked: a TLS server with a
// certificate no authority signed gets neither login nor message.
TEST_F(SendTest, AServerWithAnUntrustedCertificateGetsNothing) {
  if (testsupport::RunCommand("openssl version") != 0) GTEST_SKIP() << "openssl fehlt (make deps)";
  const std::string key = dir.file("key.pem"), certificate = dir.file("cert.pem");
  ASSERT_EQ(testsupport::RunCommand("openssl req -x509 -newkey rsa:2048 -nodes -days 2 "
                                    "-subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 "
                                    "-keyout " + key + " -out " + certificate),
            0);
  const int port = FreePort();
  const std::string accept = "127.0.0.1:" + std::to_string(port);
  const pid_t server = fork();
  ASSERT_GE(server, 0);
  if (server == 0) {
    execlp("openssl", "openssl", "s_server", "-quiet", "-accept", accept.c_str(), "-cert",
           certificate.c_str(), "-key", key.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int i = 0; i < 100 && !Listening(port); ++i) usleep(50 * 1000);
  settings.security = mail::Security::Tls;
  settings.user = "buero";
  settings.port = port;
  const mail::Outcome outcome = mail::SendBySmtp(app, settings, kPassword, mail);
  kill(server, SIGTERM);
  waitpid(server, nullptr, 0);
  EXPECT_FALSE(outcome.sent);
  EXPECT_NE(outcome.message.find("Das Zertifikat des Mailservers " + accept + " ist nicht gültig."),
            std::string::npos)
      << outcome.message;
  EXPECT_FALSE(Issued());
  EXPECT_TRUE(mail::ReadLog(app.dataDirectory).empty());
}

TEST_F(SendTest, BadAddressesAreRefusedBeforeConnecting) {
  Server server(Server::Mode::Accept);
  for (auto [to, sender] : {std::pair{"meier at example.org", "buero@example.de"},
                            std::pair{"", "buero@example.de"},
                            std::pair{"meier@example.org", "buero"}}) {
    mail.to = to;
    settings.sender = sender;
    const mail::Outcome outcome = Send(server);
    EXPECT_FALSE(outcome.sent);
    EXPECT_NE(outcome.message.find("E-Mail-Adresse"), std::string::npos) << outcome.message;
  }
  EXPECT_TRUE(server.commands().empty());
  EXPECT_FALSE(Issued());
}

// The desktop's mail program gets subject, text and file as its arguments.
TEST_F(SendTest, MailProgramGetsTheMessageAsArguments) {
  const std::string bin = app.dataDirectory + "bin";
  std::filesystem::create_directories(bin);
  const std::string record = app.dataDirectory + "arguments.txt";
  {
    std::ofstream script(bin + "/xdg-email");
    script << "#!/bin/sh\nfor a in \"$@\"; do printf '%s|' \"$a\"; done > '" << record
           << "'\nexit ${XDG_TEST_STATUS:-0}\n";
  }
  chmod((bin + "/xdg-email").c_str(), 0755);
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (bin + ":" + path).c_str(), 1);
  const auto arguments = mail::MailProgramArguments("meier@example.org", "Rechnung 1 – Grüße",
                                                    "Zeile 1\nZeile 2",
                                                    {"/tmp/Rechnung-1.pdf", "/tmp/Rechnung-1.xml"});
  EXPECT_EQ(mail::RunMailProgram(arguments), "");
  std::ifstream in(record);
  std::stringstream got;
  got << in.rdbuf();
  EXPECT_EQ(got.str(),
            "--subject|Rechnung 1 – Grüße|--body|Zeile 1\nZeile 2|--attach|/tmp/Rechnung-1.pdf|"
            "--attach|/tmp/Rechnung-1.xml|meier@example.org|");
  // Without an address the user types it in the mail program.
  EXPECT_EQ(mail::MailProgramArguments("", "S", "B", {"/f"}).back(), "/f");
  setenv("XDG_TEST_STATUS", "3", 1);
  EXPECT_NE(mail::RunMailProgram(arguments).find("Status 3"), std::string::npos);
  unsetenv("XDG_TEST_STATUS");
  setenv("PATH", path.c_str(), 1);
}

}  // namespace
