#include "cli/mail_command.h"

#include <termios.h>
#include <unistd.h>

#include <QGuiApplication>
#include <optional>
#include <charconv>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "cli/dunning_print.h"
#include "cli/print_command.h"
#include "letters/dunning_renderer.h"
#include "letters/dunning_run.h"
#include "mail/dunning_mail.h"
#include "mail/einvoice_attachment.h"
#include "core/dates.h"
#include "mail/address.h"
#include "mail/mail_settings.h"
#include "mail/send.h"
#include "mail/templates.h"
#include "orders/issuing.h"
#include "orders/ui/document_pdf.h"
#include "platform/cp1252.h"
#include "store/load_parameters.h"
#include "store/order_kinds.h"
#include "store/text_field.h"

namespace cli {

namespace {

int Usage() {
  std::fputs(
      "Aufruf: belvon-cli mail 1|2|3|20|23 --order NUMMER [--to ADRESSE] [--date TT.MM.JJJJ]\n"
      "                     [--issue]\n"
      "        belvon-cli mail 16 [--date TT.MM.JJJJ] [--reprint] [--issue]\n"
      "                     (Mahnungen: eine E-Mail je Kunde)\n"
      "        Das SMTP-Passwort kommt aus BELVON_SMTP_PASSWORD oder wird abgefragt.\n",
      stderr);
  return 2;
}

bool OrderJob(int job) {
  return job == 1 || job == 2 || job == 3 || job == 20 || job == 23 || job == letters::kJobDunning;
}

// The password from the environment, else typed on the terminal without
// echo; false when there is neither.
bool Password(const std::string& user, const std::string& server, std::string& password) {
  if (const char* given = std::getenv("BELVON_SMTP_PASSWORD")) {
    password = given;
    return true;
  }
  FILE* tty = std::fopen("/dev/tty", "r+");
  if (!tty) {
    std::fputs("Das SMTP-Passwort fehlt: bitte in BELVON_SMTP_PASSWORD angeben.\n", stderr);
    return false;
  }
  std::fprintf(tty, "Passwort für %s an %s: ", user.c_str(), server.c_str());
  std::fflush(tty);
  termios old{};
  const bool terminal = tcgetattr(fileno(tty), &old) == 0;
  if (terminal) {
    termios silent = old;
    silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(fileno(tty), TCSAFLUSH, &silent);
  }
  char line[512];
  const bool read = std::fgets(line, sizeof line, tty) != nullptr;
  if (terminal) tcsetattr(fileno(tty), TCSAFLUSH, &old);
  std::fputs("\n", tty);
  std::fclose(tty);
  if (!read) return false;
  password = line;
  while (!password.empty() && (password.back() == '\n' || password.back() == '\r'))
    password.pop_back();
  return true;
}

// The dunning letters of a run, one mail per customer (see mail/dunning_mail.h).
int MailDunning(frame::AppState& app, const mail::Settings& settings, const std::string& date,
                bool reprint, bool issue) {
  mail::DunningRequest request{date.empty() ? orders::FormatDate(*app.clock) : date, reprint, issue};
  auto pdf = [&app](printing::PrintSession& session, std::string& bytes) {
    return orders::DocumentPdfBytes(app, session, bytes);
  };
  std::vector<std::string> files;
  auto mailProgram = [&app, &files](const mail::DocumentMail& mail) -> std::string {
    std::vector<std::string> written;
    const std::string problem = mail::WriteAttachments(*app.fileSystem, mail.attachments, written);
    if (!problem.empty()) return problem;
    files.insert(files.end(), written.begin(), written.end());
    return mail::RunMailProgram(mail::MailProgramArguments(mail.to, mail.subject, mail.body, written));
  };
  auto password = [&settings]() -> std::optional<std::string> {
    std::string typed;
    if (!Password(settings.user, settings.server, typed)) return std::nullopt;
    return typed;
  };
  const auto results = mail::MailDunningLetters(app, settings, request, pdf, mailProgram, password);
  if (results.empty()) {
    std::fprintf(stderr, "%s\n", letters::kNoDunningDue);
    return kNothingToDo;
  }
  int failed = 0;
  for (const mail::CustomerMail& result : results) {
    if (!result.message.empty())
      std::fprintf(stderr, "%s: %s\n", result.name.c_str(), result.message.c_str());
    if (!result.sent || !result.message.empty()) ++failed;
    if (result.sent && settings.way == mail::Way::Smtp)
      std::printf("%s an %s gesendet\n", result.document.c_str(), result.to.c_str());
  }
  for (const std::string& file : files) std::printf("%s\n", file.c_str());
  return failed ? 1 : 0;
}

}  // namespace

int MailCommand(frame::AppState& app, const std::vector<std::string>& args) {
  if (args.size() < 2) return Usage();
  int job = 0;
  const std::string& jobText = args[1];
  auto parsed = std::from_chars(jobText.data(), jobText.data() + jobText.size(), job);
  if (parsed.ec != std::errc() || parsed.ptr != jobText.data() + jobText.size() || !OrderJob(job))
    return Usage();
  std::string orderText, to, date;
  bool issue = false, reprint = false;
  const bool dunning = job == letters::kJobDunning;
  for (std::size_t i = 2; i < args.size(); ++i) {
    if (args[i] == "--issue") {
      issue = true;
      continue;
    }
    if (dunning && args[i] == "--reprint") {
      reprint = true;
      continue;
    }
    if (i + 1 >= args.size()) return Usage();
    const std::string& value = args[++i];
    if (args[i - 1] == "--order") orderText = value;
    else if (args[i - 1] == "--to") to = value;
    else if (args[i - 1] == "--date") date = value;
    else return Usage();
  }
  std::int32_t number = 0;
  parsed = std::from_chars(orderText.data(), orderText.data() + orderText.size(), number);
  if (dunning ? !orderText.empty() || !to.empty()
              : orderText.empty() || parsed.ec != std::errc() ||
                    parsed.ptr != orderText.data() + orderText.size())
    return Usage();
  if (!date.empty() && orders::EnteredDate(date) != date) {
    std::fprintf(stderr, "Ungültiges Datum: %s (TT.MM.JJJJ)\n", date.c_str());
    return 2;
  }

  std::string problem;
  const mail::Settings settings = mail::LoadSettings(app.dataDirectory, &problem);
  if (!problem.empty()) std::fprintf(stderr, "%s\n", problem.c_str());
  if (issue && settings.way != mail::Way::Smtp) {
    std::fputs("Nur ein per SMTP gesendeter Beleg gilt als ausgestellt; mit dem Mailprogramm "
               "ist --issue nicht möglich.\n",
               stderr);
    return 2;
  }

  const std::unique_ptr<QGuiApplication> application = StartPaintingApplication();

  if (!frame::LoadParameters(app)) return 1;
  if (dunning) return MailDunning(app, settings, date, reprint, issue);
  if (!MakeOrderCurrent(app, number)) return 1;
  auto kind = static_cast<orders::DocumentKind>(job);
  if (orders::RefusedWithoutPriceSettings(app, kind)) return 1;
  if (kind == orders::DocumentKind::Invoice && (app.order.flags & store::kOrderCollectiveInvoice))
    kind = orders::DocumentKind::CollectiveInvoice;
  if (to.empty()) to = platform::Cp1252ToUtf8(store::GetText(app.address.email));
  // Bad addresses stop the command before anything is drawn or connects.
  if (settings.way == mail::Way::Smtp || !to.empty()) {
    problem = settings.way == mail::Way::Smtp ? mail::AddressesProblem(settings, to)
                                              : mail::AddressProblem(to, "Empfänger");
    if (!problem.empty()) {
      std::fprintf(stderr, "%s\n", problem.c_str());
      return 1;
    }
  }
  if (kind == orders::DocumentKind::Invoice && !orders::ConfirmReprintTotal(app)) return 1;
  std::string printDate = date.empty() ? orders::FormatDate(*app.clock) : date;
  // Else a copy of an issued invoice states the date it was issued with.
  std::string invoiceDate;
  if (issue && kind == orders::DocumentKind::Invoice) {
    invoiceDate = orders::InvoiceDateToFix(app, printDate);
    if (orders::RefusedForItsDueDate(app, invoiceDate)) return 1;
  } else {
    const std::string issued = orders::IssuedCopyDate(app, kind, printDate);
    if (!date.empty() && issued != date)
      std::fprintf(stderr, "Die Rechnung wurde am %s ausgestellt; die E-Mail nennt dieses Datum.\n",
                   issued.c_str());
    printDate = issued;
  }

  // Text, XRechnung and PDF state the invoice date the issue records: the
  // print date.
  const mail::Fields fields = mail::OrderFields(app, kind, printDate);
  const mail::Text text = mail::DocumentText(settings, kind, fields);
  mail::EInvoiceAttachment xml = mail::MakeEInvoiceAttachment(app, kind, printDate);
  if (!xml.problem.empty()) {
    std::fprintf(stderr, "%s\n", xml.problem.c_str());
    return 1;
  }
  const orders::DocumentPdf pdf = orders::OrderDocumentPdf(app, kind, printDate, invoiceDate);
  if (!pdf.problem.empty()) {
    std::fprintf(stderr, "%s\n", pdf.problem.c_str());
    return 1;
  }

  std::vector<mail::Attachment> attachments{{pdf.fileName, "application/pdf", pdf.bytes}};
  if (xml.wanted) {
    mail::NameBeside(xml, pdf.fileName);
    attachments.push_back(std::move(xml.attachment));
  }

  if (settings.way == mail::Way::MailProgram) {
    std::vector<std::string> files;
    problem = mail::WriteAttachments(*app.fileSystem, attachments, files);
    if (problem.empty())
      problem = mail::RunMailProgram(mail::MailProgramArguments(to, text.subject, text.body, files));
    if (!problem.empty()) {
      std::fprintf(stderr, "%s\n", problem.c_str());
      return 1;
    }
    for (const std::string& file : files) std::printf("%s\n", file.c_str());
    return 0;
  }

  std::string password;
  if (!settings.user.empty() && !Password(settings.user, settings.server, password)) return 1;
  mail::DocumentMail message;
  message.kind = kind;
  message.document = fields.kind + " " + fields.number;
  message.to = to;
  message.subject = text.subject;
  message.body = text.body;
  message.attachments = std::move(attachments);
  message.issue = issue;
  message.invoiceDate = invoiceDate;
  const mail::Outcome outcome = mail::SendBySmtp(app, settings, password, message);
  if (!outcome.message.empty()) std::fprintf(stderr, "%s\n", outcome.message.c_str());
  if (!outcome.sent || (issue && !outcome.issued)) return 1;
  std::printf("%s an %s gesendet\n", message.document.c_str(), to.c_str());
  return 0;
}

}  // namespace cli
