#include "mail/message.h"

#include <algorithm>
#include <cstdio>

#include "platform/utf8.h"

namespace mail {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

bool PrintableAscii(std::string_view text) {
  for (unsigned char c : text)
    if (c < 0x20 || c > 0x7E) return false;
  return true;
}

// A display name in quotes, or encoded when it is not plain ASCII.
std::string Mailbox(const std::string& name, const std::string& address) {
  if (name.empty()) return address;
  if (!PrintableAscii(name)) return EncodeHeaderText(name) + " <" + address + ">";
  std::string quoted = "\"";
  for (char c : name) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\" <" + address + ">";
}

// A file name parameter: plain when it is a safe token of ASCII, else as an
// encoded word (what mail programs read).
std::string FileNameParameter(const std::string& name) {
  bool plain = PrintableAscii(name);
  for (char c : name)
    if (c == '"' || c == '\\') plain = false;
  return plain ? "\"" + name + "\"" : "\"" + EncodeHeaderText(name) + "\"";
}

// The body's lines with CRLF ends.
std::string CrLf(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') continue;
    if (text[i] == '\n') out += "\r\n";
    else out += text[i];
  }
  return out;
}

}  // namespace

std::string Base64(std::string_view bytes, bool lines) {
  std::string out;
  out.reserve(bytes.size() * 4 / 3 + bytes.size() / 38 + 8);
  std::size_t column = 0;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    if (n > 1) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (n > 2) v |= static_cast<unsigned char>(bytes[i + 2]);
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += n > 1 ? kAlphabet[(v >> 6) & 63] : '=';
    out += n > 2 ? kAlphabet[v & 63] : '=';
    column += 4;
    if (lines && column == 76) {
      out += "\r\n";
      column = 0;
    }
  }
  if (lines && column != 0) out += "\r\n";
  return out;
}

std::string DecodeBase64(std::string_view text) {
  std::string out;
  unsigned value = 0;
  int bits = 0;
  for (char c : text) {
    int digit;
    if (c >= 'A' && c <= 'Z') digit = c - 'A';
    else if (c >= 'a' && c <= 'z') digit = c - 'a' + 26;
    else if (c >= '0' && c <= '9') digit = c - '0' + 52;
    else if (c == '+') digit = 62;
    else if (c == '/') digit = 63;
    else continue;
    value = (value << 6) | static_cast<unsigned>(digit);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += static_cast<char>((value >> bits) & 0xFF);
    }
  }
  return out;
}

std::string EncodeHeaderText(std::string_view text) {
  if (PrintableAscii(text)) return std::string(text);
  // "=?UTF-8?B?" and "?=" take 12 of the 75 characters: 63 remain, 45 bytes.
  constexpr std::size_t kBytesPerWord = 45;
  std::string out;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = at;
    while (end < text.size()) {
      std::size_t length = platform::DecodeUtf8(text, end).length;
      if (length == 0) length = 1;  // a stray byte travels as it is
      if (end + length - at > kBytesPerWord) break;
      end += length;
    }
    if (end == at) end = at + 1;
    if (!out.empty()) out += "\r\n ";
    out += "=?UTF-8?B?" + Base64(text.substr(at, end - at)) + "?=";
    at = end;
  }
  return out;
}

std::string DateHeader(const platform::LocalTime& t, int offset) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  // The weekday by Zeller's congruence, January and February counted as the
  // months 13 and 14 of the year before.
  int m = t.month, y = t.year;
  if (m < 3) {
    m += 12;
    --y;
  }
  const int h = (t.day + 13 * (m + 1) / 5 + y + y / 4 - y / 100 + y / 400) % 7;  // 0 Saturday
  const int weekday = (h + 6) % 7;                                             // 0 Sunday
  const int month = t.month >= 1 && t.month <= 12 ? t.month - 1 : 0;
  const char sign = offset < 0 ? '-' : '+';
  if (offset < 0) offset = -offset;
  char text[64];
  std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %c%02d%02d", kDays[weekday],
                t.day, kMonths[month], t.year, t.hour, t.minute, t.second, sign, offset / 60,
                offset % 60);
  return text;
}

std::string BuildMessage(const Message& m, const std::string& date, const std::string& messageId,
                         const std::string& boundary) {
  std::string out;
  out += "From: " + Mailbox(m.fromName, m.from) + "\r\n";
  out += "To: " + m.to + "\r\n";
  out += "Subject: " + EncodeHeaderText(m.subject) + "\r\n";
  out += "Date: " + date + "\r\n";
  out += "Message-ID: " + messageId + "\r\n";
  out += "MIME-Version: 1.0\r\n";
  out += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n";
  out += "\r\n";
  out += "--" + boundary + "\r\n";
  out += "Content-Type: text/plain; charset=UTF-8\r\n";
  out += "Content-Transfer-Encoding: base64\r\n\r\n";
  out += Base64(CrLf(m.body), true);
  for (const Attachment& a : m.attachments) {
    out += "--" + boundary + "\r\n";
    out += "Content-Type: " + a.contentType + "; name=" + FileNameParameter(a.fileName) + "\r\n";
    out += "Content-Transfer-Encoding: base64\r\n";
    out += "Content-Disposition: attachment; filename=" + FileNameParameter(a.fileName) +
           "\r\n\r\n";
    out += Base64(a.bytes, true);
  }
  out += "--" + boundary + "--\r\n";
  return out;
}

std::string MakeMessageId(const std::string& from, long long unixTime, unsigned long long random) {
  const std::size_t at = from.rfind('@');
  const std::string domain = at == std::string::npos ? "belvon.invalid" : from.substr(at + 1);
  return "<" + std::to_string(unixTime) + "." + std::to_string(random) + "@" + domain + ">";
}

}  // namespace mail
