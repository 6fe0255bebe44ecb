#include "mail/send.h"

#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>

#include "core/dates.h"
#include "mail/address.h"
#include "platform/cp1252.h"
#include "platform/file_reading.h"
#include "platform/output_file.h"
#include "store/text_field.h"

extern char** environ;

namespace mail {

namespace {

// The offset of local time from UTC now, in minutes.
int UtcOffsetMinutes() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return static_cast<int>(local.tm_gmtoff / 60);
}

std::string SenderName(const frame::AppState& app, const Settings& s) {
  if (!s.senderName.empty()) return s.senderName;
  return platform::Cp1252ToUtf8(store::GetText(app.parameters.companyName1));
}

// A file name without path separators or characters shells and mail
// programs stumble over.
std::string Safe(std::string name) {
  for (char& c : name)
    if (c == '/' || c == '\\' || c == ':' || c == ' ' || static_cast<unsigned char>(c) < 0x20) c = '-';
  return name;
}

}  // namespace

std::string AddressesProblem(const Settings& settings, const std::string& to) {
  std::string problem = AddressProblem(to, "Empfänger");
  if (problem.empty()) problem = AddressProblem(settings.sender, "Absender");
  return problem;
}

std::string MessageBytes(const frame::AppState& app, const Settings& s, const DocumentMail& mail) {
  Message m;
  m.from = s.sender;
  m.fromName = SenderName(app, s);
  m.to = mail.to;
  m.subject = mail.subject;
  m.body = mail.body;
  m.attachments = mail.attachments;
  const platform::LocalTime now = app.clock->now();
  std::random_device device;
  const unsigned long long random = (static_cast<unsigned long long>(device()) << 32) | device();
  return BuildMessage(m, DateHeader(now, UtcOffsetMinutes()),
                      MakeMessageId(s.sender, static_cast<long long>(std::time(nullptr)), random),
                      "=_belvon_" + std::to_string(random));
}

Outcome SendBySmtp(frame::AppState& app, const Settings& s, const std::string& password,
                   const DocumentMail& mail, const Transmit& transmit) {
  Outcome outcome;
  outcome.message = AddressesProblem(s, mail.to);
  if (!outcome.message.empty()) return outcome;
  const std::string bytes = MessageBytes(app, s, mail);
  std::vector<std::string> recipients{mail.to};
  if (s.copyToSender && s.sender != mail.to) recipients.push_back(s.sender);
  auto send = [&](SendControl& control) {
    return SendSmtp(s, password, s.sender, recipients, bytes, &control);
  };
  SendControl here;
  const SendResult result = transmit ? transmit(send) : send(here);
  if (!result.accepted && !result.deliveryUnknown) {
    outcome.message = result.message;
    outcome.loginRefused = result.loginRefused;
    return outcome;
  }
  outcome.sent = result.accepted;
  outcome.deliveryUnknown = result.deliveryUnknown;
  std::string after = result.deliveryUnknown ? result.message + "\n" : std::string();
  if (!AppendLog(app, mail.to, mail.document, result.deliveryUnknown ? kDeliveryUnknown : ""))
    after += "Der Versand konnte nicht in " + app.path(kLogFileName) + " vermerkt werden.\n";
  if (s.keepCopy) {
    const std::string folder = app.dataDirectory + kCopyFolder;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const platform::LocalTime t = app.clock->now();
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    const std::string path = folder + "/" + stamp + "-" + Safe(mail.document) + ".eml";
    if (!platform::WriteOutputFile(*app.fileSystem, path, bytes))
      after += platform::OutputFailureText(path) + "\n";
  }
  if (result.deliveryUnknown && mail.issue)
    after += "Der Beleg wurde nicht als gedruckt vermerkt.\n";
  if (mail.issue && result.accepted) {
    // The PDF and the XRechnung that went out are what the archive keeps.
    store::IssuedDocuments sent;
    for (const Attachment& attachment : mail.attachments) {
      if (attachment.contentType == "application/pdf" && sent.pdf.empty()) sent.pdf = attachment.bytes;
      else if (attachment.contentType == "application/xml" && sent.xml.empty()) sent.xml = attachment.bytes;
    }
    outcome.issued = orders::RecordIssue(app, mail.kind, mail.invoiceDate, &sent);
    if (!outcome.issued)
      after += "Die E-Mail wurde gesendet, der Beleg aber nicht als gedruckt vermerkt.\n";
  }
  if (!after.empty()) after.pop_back();
  outcome.message = after;
  return outcome;
}

bool AppendLog(const frame::AppState& app, const std::string& address, const std::string& document,
               const std::string& state) {
  const std::string path = app.path(kLogFileName);
  std::string text;
  const platform::ReadRefusal why = platform::ReadRegularFile(*app.fileSystem, path, kLogFileMax, text);
  if (why != platform::ReadRefusal::None && why != platform::ReadRefusal::Missing) return false;
  if (!text.empty() && text.back() != '\n') text += '\n';
  const platform::LocalTime t = app.clock->now();
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%02d.%02d.%04d %02d:%02d", t.day, t.month, t.year, t.hour,
                t.minute);
  text += std::string(stamp) + "\t" + address + "\t" + document + (state.empty() ? "" : "\t" + state) +
          "\n";
  return platform::WriteOutputFile(*app.fileSystem, path, text);
}

std::vector<std::string> ReadLog(const std::string& dataDirectory) {
  std::string text;
  std::vector<std::string> lines;
  if (platform::ReadRegularFile(platform::SystemFileSystem(), dataDirectory + kLogFileName,
                                kLogFileMax, text) != platform::ReadRefusal::None)
    return lines;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    if (end > at) lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

std::vector<std::string> MailProgramArguments(const std::string& to, const std::string& subject,
                                              const std::string& body,
                                              const std::vector<std::string>& files) {
  std::vector<std::string> arguments{"xdg-email", "--subject", subject, "--body", body};
  for (const std::string& file : files) {
    arguments.push_back("--attach");
    arguments.push_back(file);
  }
  // Without an address the user types it in the mail program.
  if (!to.empty()) arguments.push_back(to);
  return arguments;
}

std::string WriteAttachments(platform::FileSystem& fs, const std::vector<Attachment>& attachments,
                             std::vector<std::string>& files) {
  files.clear();
  std::string folder = (std::filesystem::temp_directory_path() / "belvon-mail-XXXXXX").string();
  if (!mkdtemp(folder.data())) return "Für den Anhang kann kein Ordner angelegt werden.";
  for (const Attachment& attachment : attachments) {
    const std::string file = folder + "/" + attachment.fileName;
    if (!platform::WriteOutputFile(fs, file, attachment.bytes)) {
      files.clear();
      std::error_code ignored;
      std::filesystem::remove_all(folder, ignored);
      return platform::OutputFailureText(file);
    }
    files.push_back(file);
  }
  return {};
}

std::string RunMailProgram(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int failed = posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
  if (failed != 0)
    return "Das Mailprogramm kann nicht gestartet werden (" + arguments[0] + ": " +
           std::strerror(failed) + "). Ist xdg-utils installiert?";
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return "Das Mailprogramm meldet keinen Erfolg.";
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return {};
  return "Das Mailprogramm hat die E-Mail nicht übernommen (" + arguments[0] + " endete mit Status " +
         std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + ").";
}

}  // namespace mail
