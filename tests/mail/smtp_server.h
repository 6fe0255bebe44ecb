// A small SMTP server on 127.0.0.1 for the tests: one thread with a
// listening socket that speaks EHLO, AUTH PLAIN, MAIL, RCPT, DATA and QUIT,
// and records what it was sent. It can refuse the login or every recipient, drop the
// connection once the message is in, answer the message only after a few
// seconds or never, or never say a word.
#ifndef BELVON_TESTS_MAIL_SMTP_SERVER_H
#define BELVON_TESTS_MAIL_SMTP_SERVER_H

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

class SmtpServer {
 public:
  // RefuseCopy refuses every recipient but the first (the copy to the sender).
  // LateReply confirms the message after kLateReplyMs; NoFinalReply keeps the
  // connection open without ever confirming it.
  enum class Mode {
    Accept, RefuseLogin, RefuseRecipient, RefuseCopy, DropAfterData, Silent, LateReply, NoFinalReply
  };
  static constexpr int kLateReplyMs = 2500;

  explicit SmtpServer(Mode mode) : mode_(mode) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 4);
    socklen_t length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
  }
  ~SmtpServer() {
    stop_ = true;
    thread_.join();
    close(listener_);
  }

  int port() const { return port_; }
  // The message as it came after DATA, dots unstuffed, with CRLF lines.
  std::string message() const {
    std::lock_guard lock(mutex_);
    return message_;
  }
  // Every command line, in order (AUTH with its credentials).
  std::vector<std::string> commands() const {
    std::lock_guard lock(mutex_);
    return commands_;
  }
  bool messageComplete() const { return complete_; }

 private:
  // Waits up to 100 ms for the socket; false when the test ends.
  bool readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    while (!stop_) {
      if (poll(&p, 1, 100) > 0) return true;
    }
    return false;
  }

  void serve() {
    while (!stop_) {
      if (!readable(listener_)) return;
      const int connection = accept(listener_, nullptr, nullptr);
      if (connection < 0) continue;
      talk(connection);
      close(connection);
    }
  }

  // One line without its CRLF; false when the client went away.
  bool line(int fd, std::string& buffer, std::string& out) {
    while (true) {
      const std::size_t end = buffer.find("\r\n");
      if (end != std::string::npos) {
        out = buffer.substr(0, end);
        buffer.erase(0, end + 2);
        return true;
      }
      if (!readable(fd)) return false;
      char chunk[4096];
      const ssize_t n = read(fd, chunk, sizeof chunk);
      if (n <= 0) return false;
      buffer.append(chunk, static_cast<std::size_t>(n));
    }
  }

  static void say(int fd, const std::string& text) {
    (void)!write(fd, text.data(), text.size());
  }

  void talk(int fd) {
    std::string buffer, command;
    int recipients = 0;
    if (mode_ == Mode::Silent) {
      while (line(fd, buffer, command)) {
      }
      return;
    }
    say(fd, "220 127.0.0.1 ESMTP Testserver\r\n");
    while (line(fd, buffer, command)) {
      // AUTH PLAIN without its credentials asks for them on the next line.
      std::string credentials;
      if (command == "AUTH PLAIN") {
        say(fd, "334 \r\n");
        if (!line(fd, buffer, credentials)) return;
        command += " " + credentials;
      }
      {
        std::lock_guard lock(mutex_);
        commands_.push_back(command);
      }
      const std::string verb = command.substr(0, 4);
      if (verb == "EHLO") {
        say(fd, "250-127.0.0.1\r\n250-AUTH PLAIN\r\n250 8BITMIME\r\n");
      } else if (verb == "AUTH" && mode_ == Mode::RefuseLogin) {
        say(fd, "535 5.7.8 Anmeldung fehlgeschlagen\r\n");
      } else if (verb == "AUTH") {
        say(fd, "235 2.7.0 Angemeldet\r\n");
      } else if (verb == "RCPT" && (mode_ == Mode::RefuseRecipient ||
                                    (mode_ == Mode::RefuseCopy && recipients++ > 0))) {
        say(fd, "550 5.1.1 Postfach unbekannt\r\n");
      } else if (verb == "DATA") {
        say(fd, "354 Weiter\r\n");
        std::string data, text;
        while (line(fd, buffer, text) && text != ".")
          data += (text.rfind("..", 0) == 0 ? text.substr(1) : text) + "\r\n";
        {
          std::lock_guard lock(mutex_);
          message_ = data;
        }
        complete_ = text == ".";
        if (mode_ == Mode::DropAfterData) return;
        if (mode_ == Mode::NoFinalReply) {
          while (line(fd, buffer, text)) {
          }
          return;
        }
        if (mode_ == Mode::LateReply) {
          pollfd none{-1, 0, 0};
          for (int waited = 0; waited < kLateReplyMs && !stop_; waited += 100) poll(&none, 0, 100);
        }
        say(fd, "250 2.0.0 Angenommen\r\n");
      } else if (verb == "QUIT") {
        say(fd, "221 2.0.0 Tschuess\r\n");
        return;
      } else {
        say(fd, "250 2.0.0 OK\r\n");
      }
    }
  }

  const Mode mode_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<bool> complete_{false};
  mutable std::mutex mutex_;
  std::string message_;
  std::vector<std::string> commands_;
  std::thread thread_;
};

}  // namespace testsupport

#endif  // BELVON_TESTS_MAIL_SMTP_SERVER_H
