#include "mail/smtp.h"

#include <curl/curl.h>
#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>

namespace mail {

namespace {

using Clock = std::chrono::steady_clock;

// Where the exchange stands, for the waits: the settings' time limit holds
// for every answer but the last, which gets the RFC's ten minutes.
struct Watch {
  SendControl* control;
  int limitSeconds;
  Clock::time_point start = Clock::now();
  Clock::time_point lastWord = start;  // the last line that went out or came in
  Clock::time_point bodyDone{};        // the whole message handed over
  bool bodySent = false;
  bool timedOut = false;       // a wait before the end of the data ran out
  bool replyTimedOut = false;  // the wait for the final answer ran out
  bool stopped = false;
};

struct Upload {
  const std::string* bytes;
  Watch* watch;
  std::size_t at = 0;
};

std::size_t ReadChunk(char* buffer, std::size_t size, std::size_t count, void* user) {
  auto* upload = static_cast<Upload*>(user);
  const std::size_t room = size * count;
  const std::size_t n = std::min(room, upload->bytes->size() - upload->at);
  std::memcpy(buffer, upload->bytes->data() + upload->at, n);
  upload->at += n;
  if (upload->at == upload->bytes->size() && !upload->watch->bodySent) {
    // libcurl has the whole message; what follows is the end of the data
    // and the server's answer to it.
    upload->watch->bodySent = true;
    upload->watch->bodyDone = Clock::now();
    if (upload->watch->control) upload->watch->control->awaitingReply = true;
  }
  return n;
}

// Called by libcurl about once a second while it waits: non-zero ends the
// exchange.
int CheckWait(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  Watch& w = *static_cast<Watch*>(user);
  const Clock::time_point now = Clock::now();
  if (w.control && w.control->stop) {
    w.stopped = true;
    return 1;
  }
  if (w.bodySent) {
    const int bound = w.control ? w.control->finalReplySeconds : kFinalReplySeconds;
    if (now - w.bodyDone > std::chrono::seconds(bound)) {
      w.replyTimedOut = true;
      return 1;
    }
    return 0;
  }
  // A server that trickles is cut off too: the exchange up to the end of
  // the data is bounded as a whole.
  if (now - w.lastWord > std::chrono::seconds(w.limitSeconds) ||
      now - w.start > std::chrono::seconds(4 * w.limitSeconds)) {
    w.timedOut = true;
    return 1;
  }
  return 0;
}

// The server's last refusal, and the recipient it refused when it was one.
// Of what goes out only the address of a RCPT command is kept, so the login
// never lands here.
struct Exchange {
  Watch* watch;
  std::string reply;
  std::string recipient;         // of the last command, when it was a RCPT
  std::string refusedRecipient;
};

int KeepReply(CURL*, curl_infotype type, char* data, std::size_t size, void* user) {
  Exchange& exchange = *static_cast<Exchange*>(user);
  if (type == CURLINFO_HEADER_IN || type == CURLINFO_HEADER_OUT || type == CURLINFO_DATA_OUT)
    exchange.watch->lastWord = Clock::now();
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

// "10 Minuten", "90 Sekunden".
std::string Span(long seconds) {
  return seconds % 60 == 0 ? std::to_string(seconds / 60) + (seconds == 60 ? " Minute" : " Minuten")
                           : std::to_string(seconds) + " Sekunden";
}

}  // namespace

SendResult SendSmtp(const Settings& s, const std::string& password, const std::string& from,
                    const std::vector<std::string>& recipients, const std::string& bytes,
                    SendControl* control) {
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
  Watch watch{control, s.timeoutSeconds};
  Upload upload{&bytes, &watch};
  Exchange exchange{&watch};
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
  // The waits are bounded by CheckWait, which knows which answer is awaited;
  // libcurl's own bound only backs it up.
  const long finalReply = control ? control->finalReplySeconds : kFinalReplySeconds;
  curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, std::max(timeout, finalReply) + 5);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, CheckWait);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &watch);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
  curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
  curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, KeepReply);
  curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &exchange);

  const CURLcode code = curl_easy_perform(curl);
  // A server that stopped answering would keep the cleanup waiting for the
  // answer to QUIT as long as for the message: its connection is cut.
  if (code == CURLE_ABORTED_BY_CALLBACK || code == CURLE_OPERATION_TIMEDOUT) {
    curl_socket_t socket = CURL_SOCKET_BAD;
    if (curl_easy_getinfo(curl, CURLINFO_ACTIVESOCKET, &socket) == CURLE_OK &&
        socket != CURL_SOCKET_BAD)
      shutdown(socket, SHUT_RDWR);
  }
  curl_slist_free_all(rcpt);
  curl_easy_cleanup(curl);
  if (code == CURLE_OK) {
    result.accepted = true;
    return result;
  }
  if (control) control->awaitingReply = false;
  result.loginRefused = code == CURLE_LOGIN_DENIED;
  // The message is out and no refusal came back: the server may have taken
  // it. Calling it "not sent" would have the user send it twice.
  if (watch.bodySent && reply.empty() && code != CURLE_LOGIN_DENIED) {
    result.deliveryUnknown = true;
    result.message =
        std::string(watch.stopped ? "Das Warten auf die Bestätigung wurde abgebrochen. "
                    : watch.replyTimedOut
                        ? "Der Mailserver " + where + " hat die E-Mail erhalten, ihre Annahme aber in " +
                              Span(finalReply) + " nicht bestätigt. "
                        : "Die Verbindung zum Mailserver " + where +
                              " brach ab, nachdem er die E-Mail erhalten, aber bevor er ihre Annahme "
                              "bestätigt hat. ") +
        "Zustellung unbekannt: die E-Mail kann angekommen sein. Bitte beim Empfänger nachfragen, "
        "bevor sie noch einmal gesendet wird.";
    return result;
  }
  if (watch.stopped) {
    result.message = "Das Senden wurde abgebrochen. Die E-Mail wurde nicht gesendet.";
    return result;
  }
  // A refusal the server gave in words is a refusal, however libcurl
  // names the step it failed at.
  // Which address it refused: the customer's, or the copy's to the sender.
  if (!exchange.refusedRecipient.empty() && code != CURLE_LOGIN_DENIED)
    result.message = "Der Mailserver " + where + " hat die Empfängeradresse " +
                     exchange.refusedRecipient + " abgelehnt.";
  else
    result.message = !reply.empty() && code != CURLE_LOGIN_DENIED
                         ? "Der Mailserver " + where + " hat die E-Mail abgelehnt."
                         : Why(watch.timedOut ? CURLE_OPERATION_TIMEDOUT : code, where,
                               s.timeoutSeconds);
  // libcurl's own words only where no German one says what happened.
  const bool explained = !result.message.empty();
  if (!explained) result.message = "Der Mailserver " + where + " hat die E-Mail nicht angenommen.";
  if (!reply.empty()) result.message += "\nAntwort des Servers: " + reply;
  else if (!explained && error[0]) result.message += "\n(libcurl: " + std::string(error) + ")";
  result.message += "\nDie E-Mail wurde nicht gesendet.";
  return result;
}

}  // namespace mail
