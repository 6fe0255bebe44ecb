// An e-mail as the mail server receives it: MIME multipart/mixed with the
// text in UTF-8 and the files as attachments, both in base64, so that the
// message is 7-bit ASCII whatever server carries it.
#ifndef BELVON_MAIL_MESSAGE_H
#define BELVON_MAIL_MESSAGE_H

#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"

namespace mail {

struct Attachment {
  std::string fileName;     // as the recipient sees it, UTF-8
  std::string contentType;  // "application/pdf", "application/xml"
  std::string bytes;
};

struct Message {
  std::string from;  // the sender's address
  std::string fromName;  // shown before it; may be empty
  std::string to;
  std::string subject;  // UTF-8
  std::string body;     // UTF-8, lines separated by "\n"
  std::vector<Attachment> attachments;
};

// Base64 of `bytes`, in lines of 76 characters each ended by CRLF when
// `lines`, else in one run.
std::string Base64(std::string_view bytes, bool lines = false);
// The bytes back; characters outside the alphabet (line breaks) are skipped.
std::string DecodeBase64(std::string_view text);

// A header value as RFC 2047 encoded words ("=?UTF-8?B?...?=", each at most
// 75 characters, never splitting a character) when it holds anything but
// printable ASCII; else unchanged.
std::string EncodeHeaderText(std::string_view text);

// "Mon, 07 Dec 2026 14:11:36 +0100": a local time and its offset from UTC.
std::string DateHeader(const platform::LocalTime& time, int utcOffsetMinutes);

// The whole message with CRLF line ends, as it goes after DATA (without the
// dot-stuffing the transfer adds). The date, the Message-ID (with its angle
// brackets) and the MIME boundary come from the caller, so that the same
// input gives the same bytes.
std::string BuildMessage(const Message& message, const std::string& date,
                         const std::string& messageId, const std::string& boundary);

// "<digits.digits@domain>" for a message from `from`, unique with the given
// time and a random number.
std::string MakeMessageId(const std::string& from, long long unixTime, unsigned long long random);

}  // namespace mail

#endif  // BELVON_MAIL_MESSAGE_H
