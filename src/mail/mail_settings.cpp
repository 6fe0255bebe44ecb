#include "mail/mail_settings.h"

#include <charconv>
#include <sstream>

#include "platform/file_reading.h"
#include "platform/output_file.h"
#include "platform/utf8.h"
#include "store/settings_lines.h"

namespace mail {

const char* const kDefaultSubject = "{Belegart} {Nummer} von {Firma}";
const char* const kDefaultBody =
    "Sehr geehrte Damen und Herren,\n\n"
    "im Anhang erhalten Sie: {Belegart} Nr. {Nummer} vom {Datum}.\n\n"
    "Mit freundlichen Grüßen\n"
    "{Firma}\n";
const char* const kDefaultInvoiceBody =
    "Sehr geehrte Damen und Herren,\n\n"
    "im Anhang erhalten Sie unsere {Belegart} Nr. {Nummer} vom {Datum} über {Betrag}.\n"
    "Bitte überweisen Sie den Betrag bis zum {Faellig}.\n\n"
    "Mit freundlichen Grüßen\n"
    "{Firma}\n";

const char* const kDefaultDunningSubject = "Zahlungserinnerung von {Firma}";
const char* const kDefaultDunningBody =
    "Sehr geehrte Damen und Herren,\n\n"
    "im Anhang erhalten Sie unser Schreiben zu offenen Rechnungen ({Nummer}).\n\n"
    "Mit freundlichen Grüßen\n"
    "{Firma}\n";

namespace {

std::string Escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') out += "\\\\";
    else if (c == '\n') out += "\\n";
    else if (c != '\r') out += c;
  }
  return out;
}

std::string Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == '\\')) {
      out += text[++i] == 'n' ? '\n' : '\\';
    } else {
      out += text[i];
    }
  }
  return out;
}

bool ParseNumber(const std::string& text, int low, int high, int& value) {
  int v = 0;
  auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size() || v < low || v > high) return false;
  value = v;
  return true;
}

}  // namespace

Settings ParseSettings(std::string_view text, std::string* problem) {
  Settings s;
  std::string refused;
  store::ForEachSetting(text, "MAIL.INI", refused, [&](const std::string& key, const std::string& value) {
    if (key == "Versand") {
      s.way = value == "Mailprogramm" ? Way::MailProgram : Way::Smtp;
    } else if (key == "Server") {
      s.server = value;
    } else if (key == "Port") {
      if (!ParseNumber(value, 1, 65535, s.port))
        refused += "MAIL.INI: Der Port \"" + value + "\" ist ungültig (1 bis 65535).\n";
    } else if (key == "Verschluesselung") {
      s.security = value == "TLS" ? Security::Tls : value == "Keine" ? Security::None
                                                                     : Security::StartTls;
    } else if (key == "Benutzer") {
      s.user = value;
    } else if (key == "Absender") {
      s.sender = value;
    } else if (key == "AbsenderName") {
      s.senderName = value;
    } else if (key == "KopieAnAbsender") {
      s.copyToSender = value == "1";
    } else if (key == "KopieAblegen") {
      s.keepCopy = value == "1";
    } else if (key == "Zeitlimit") {
      if (!ParseNumber(value, 1, kMaxTimeout, s.timeoutSeconds))
        refused += "MAIL.INI: Das Zeitlimit \"" + value + "\" ist ungültig (1 bis 300 Sekunden).\n";
    } else if (key == "Betreff") {
      s.subject = Unescape(value);
    } else if (key == "Text") {
      s.body = Unescape(value);
    } else if (key == "TextRechnung") {
      s.invoiceBody = Unescape(value);
    } else if (key == "BetreffMahnung") {
      s.dunningSubject = Unescape(value);
    } else if (key == "TextMahnung") {
      s.dunningBody = Unescape(value);
    }
  });
  if (problem)
    *problem = refused.empty() ? std::string()
                               : refused + "Bitte im Dialog \"E-Mail\" neu eingeben und speichern.";
  return s;
}

std::string SettingsText(const Settings& s) {
  std::ostringstream out;
  out << "[E-Mail]\n"
      << "Versand=" << (s.way == Way::MailProgram ? "Mailprogramm" : "SMTP") << '\n'
      << "Server=" << Escape(s.server) << '\n'
      << "Port=" << s.port << '\n'
      << "Verschluesselung="
      << (s.security == Security::Tls ? "TLS" : s.security == Security::None ? "Keine" : "STARTTLS")
      << '\n'
      << "Benutzer=" << Escape(s.user) << '\n'
      << "Absender=" << Escape(s.sender) << '\n'
      << "AbsenderName=" << Escape(s.senderName) << '\n'
      << "KopieAnAbsender=" << (s.copyToSender ? 1 : 0) << '\n'
      << "KopieAblegen=" << (s.keepCopy ? 1 : 0) << '\n'
      << "Zeitlimit=" << s.timeoutSeconds << '\n'
      << "Betreff=" << Escape(s.subject) << '\n'
      << "Text=" << Escape(s.body) << '\n'
      << "TextRechnung=" << Escape(s.invoiceBody) << '\n'
      << "BetreffMahnung=" << Escape(s.dunningSubject) << '\n'
      << "TextMahnung=" << Escape(s.dunningBody) << '\n';
  return out.str();
}

Settings LoadSettings(const std::string& dataDirectory, std::string* problem) {
  return store::LoadDirectorySettings<Settings>(
      dataDirectory, kSettingsFileName, kSettingsFileMax, problem,
      [](std::string_view text, std::string* why) { return ParseSettings(text, why); });
}

bool SaveSettings(const std::string& dataDirectory, const Settings& settings) {
  return store::SaveDirectorySettings(dataDirectory, kSettingsFileName, SettingsText(settings));
}

}  // namespace mail
