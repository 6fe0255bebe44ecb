#include "mail/smtp.h"

#include <curl/curl.h>

#include <cstring>
#include <mutex>

namespace mail {

namespace {

struct Upload {
  const std::string* bytes;
  std::size_t at = 0;
};

std::size_t ReadChunk(char* buffer, std::size_t size, std::size_t count, void* user) {
  auto* upload = static_cast<Upload*>(user);
  const std::size_t room = size * count;
  const std::size_t n = std::min(room, upload->bytes->size() - upload->at);
  std::memcpy(buffer, upload->bytes->data() + upload->at, n);
  upload->at += n;
  return n;
}

// The server's last refusal, and the recipient it refused when it was one.
// Of what goes out only the address of a RCPT command is kept, so the login
// never lands here.
struct Exchange {
  std::string reply;
  std::string recipient;         // of the last command, when it was a RCPT
  std::string refusedRecipient;
};

int KeepReply(CURL*, curl_infotype type, char* data, std::size_t size, void* user) {
  Exchange& exchange = *static_cast<Exchange*>(user);
  std::string line(data, size);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  if (type == CURLINFO_HEADER_OUT) {
    exchange.recipient.clear();
    if (line.rfind("RCPT TO:<", 0) == 0) {
      const std::size_t end = line.find('>');
      exchange.recipient = line.substr(9, end == std::string::npos ? std::string::npos : end - 9);
    }
    return 0;
  }
  if (type != CURLINFO_HEADER_IN) return 0;
  // A refusal starts with 4 or 5; the greetings and "go ahead"s say nothing.
  if (!line.empty() && (line[0] == '4' || line[0] == '5')) {
    exchange.reply = line;
    if (!exchange.recipient.empty() && exchange.refusedRecipient.empty())
      exchange.refusedRecipient = exchange.recipient;
  }
  return 0;
}

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// What happened, in German; empty for a failure without its own words.
std::string Why(CURLcode code, const std::string& where, int timeout) {
  switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
      return "Der Mailserver " + where + " hat nicht rechtzeitig geantwortet (Zeitlimit " +
             std::to_string(timeout) + " s).";
    case CURLE_COULDNT_RESOLVE_HOST:
      return "Der Mailserver " + where + " ist unbekannt.";
    case CURLE_COULDNT_CONNECT:
      return "Zum Mailserver " + where + " kommt keine Verbindung zustande.";
    case CURLE_PEER_FAILED_VERIFICATION:
      return "Das Zertifikat des Mailservers " + where + " ist nicht gültig.";
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_USE_SSL_FAILED:
      return "Die verschlüsselte Verbindung zum Mailserver " + where + " kam nicht zustande.";
    case CURLE_LOGIN_DENIED:
      return "Der Mailserver " + where + " hat die Anmeldung abgelehnt (Benutzer oder Passwort falsch).";
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
      return "Die Verbindung zum Mailserver " + where + " brach ab, bevor er die E-Mail angenommen hat.";
    default:
      return {};
  }
}

}  // namespace

SendResult SendSmtp(const Settings& s, const std::string& password, const std::string& from,
                    const std::vector<std::string>& recipients, const std::string& bytes) {
  SendResult result;
  const std::string where = s.server + ":" + std::to_string(s.port);
  if (s.server.empty()) {
    result.message = "Es ist kein Mailserver eingestellt (Datei > E-Mail).";
    return result;
  }
  const bool loopback = s.server == "localhost" || s.server == "127.0.0.1" || s.server == "::1";
  if (s.security == Security::None && !s.user.empty() && !loopback) {
    result.message = "Ohne Verschlüsselung sendet das Programm kein Passwort: bitte STARTTLS oder "
                     "TLS einstellen (Datei > E-Mail). Die E-Mail wurde nicht gesendet.";
    return result;
  }
  GlobalInit();
  CURL* curl = curl_easy_init();
  if (!curl) {
    result.message = "Die E-Mail kann nicht gesendet werden (kein Speicher).";
    return result;
  }
  const std::string url =
      std::string(s.security == Security::Tls ? "smtps://" : "smtp://") + where;
  curl_slist* rcpt = nullptr;
  for (const std::string& r : recipients) rcpt = curl_slist_append(rcpt, r.c_str());
  const std::string mailFrom = "<" + from + ">";
  Upload upload{&bytes};
  Exchange exchange;
  const std::string& reply = exchange.reply;
  char error[CURL_ERROR_SIZE] = {};
  const long timeout = s.timeoutSeconds;

  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
  curl_easy_setopt(curl, CURLOPT_USE_SSL,
                   s.security == Security::None ? static_cast<long>(CURLUSESSL_NONE)
                                                : static_cast<long>(CURLUSESSL_ALL));
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  if (!s.user.empty()) {
    curl_easy_setopt(curl, CURLOPT_USERNAME, s.user.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, password.c_str());
  }
  curl_easy_setopt(curl, CURLOPT_MAIL_FROM, mailFrom.c_str());
  curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt);
  curl_easy_setopt(curl, CURLOPT_READFUNCTION, ReadChunk);
  curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
  curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(bytes.size()));
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, timeout);
  curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeout);
  // A server that trickles is cut off too: the whole exchange is bounded.
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, timeout * 4);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
  curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
  curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, KeepReply);
  curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &exchange);

  const CURLcode code = curl_easy_perform(curl);
  curl_slist_free_all(rcpt);
  curl_easy_cleanup(curl);
  if (code == CURLE_OK) {
    result.accepted = true;
    return result;
  }
  result.loginRefused = code == CURLE_LOGIN_DENIED;
  // A refusal the server gave in words is a refusal, however libcurl
  // names the step it failed at.
  // Which address it refused: the customer's, or the copy's to the sender.
  if (!exchange.refusedRecipient.empty() && code != CURLE_LOGIN_DENIED)
    result.message = "Der Mailserver " + where + " hat die Empfängeradresse " +
                     exchange.refusedRecipient + " abgelehnt.";
  else
    result.message = !reply.empty() && code != CURLE_LOGIN_DENIED
                         ? "Der Mailserver " + where + " hat die E-Mail abgelehnt."
                         : Why(code, where, s.timeoutSeconds);
  // libcurl's own words only where no German one says what happened.
  const bool explained = !result.message.empty();
  if (!explained) result.message = "Der Mailserver " + where + " hat die E-Mail nicht angenommen.";
  if (!reply.empty()) result.message += "\nAntwort des Servers: " + reply;
  else if (!explained && error[0]) result.message += "\n(libcurl: " + std::string(error) + ")";
  result.message += "\nDie E-Mail wurde nicht gesendet.";
  return result;
}

}  // namespace mail
