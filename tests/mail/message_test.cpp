// The message as the server receives it: base64, encoded header words, the
// Date header, and one whole message against its fixed text.
#include <gtest/gtest.h>

#include <string>

#include "mail/address.h"
#include "mail/message.h"
#include "platform/utf8.h"
#include "support/case_table.h"

namespace {

TEST(MailMessage, Base64OfTheStandardVectorsAndBack) {
  testsupport::ExpectEach<std::string, std::string>(
      [](const std::string& in) { return mail::Base64(in); },
      {{"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="},
       {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}, {std::string("\xff\x00\x80", 3), "/wCA"}});
  std::string all;
  for (int i = 0; i < 256 * 3; ++i) all += static_cast<char>(i * 7);
  const std::string lines = mail::Base64(all, true);
  EXPECT_EQ(lines.find("\r\n"), 76u);
  EXPECT_EQ(mail::DecodeBase64(lines), all);
}

// Plain ASCII stays; anything else becomes encoded words of at most 75
// characters that decode, each on its own, to whole UTF-8 characters.
TEST(MailMessage, HeaderTextIsEncodedInWholeCharacters) {
  EXPECT_EQ(mail::EncodeHeaderText("Rechnung 1234"), "Rechnung 1234");
  EXPECT_EQ(mail::EncodeHeaderText("Grüße"), "=?UTF-8?B?R3LDvMOfZQ==?=");
  for (const std::string& text :
       {std::string("Rechnung 1234 von Müller & Söhne GmbH – Straßenbau und Tiefbau äöü"),
        std::string(60, 'a') + "€€€€€€€€€€€€€€€€€€€€€€€€€"}) {
    SCOPED_TRACE(text);
    const std::string encoded = mail::EncodeHeaderText(text);
    std::string decoded;
    std::size_t at = 0;
    while (at < encoded.size()) {
      std::size_t end = encoded.find("\r\n ", at);
      if (end == std::string::npos) end = encoded.size();
      const std::string word = encoded.substr(at, end - at);
      EXPECT_LE(word.size(), 75u);
      ASSERT_EQ(word.rfind("=?UTF-8?B?", 0), 0u);
      const std::string part = mail::DecodeBase64(word.substr(10, word.size() - 12));
      EXPECT_TRUE(platform::IsUtf8(part)) << word;
      decoded += part;
      at = end + 3;
    }
    EXPECT_EQ(decoded, text);
  }
}

TEST(MailMessage, DateHeaderNamesTheWeekdayAndTheOffset) {
  struct Case {
    platform::LocalTime time;
    int offset;
    const char* expected;
  };
  for (const Case& c : {
           Case{{2026, 12, 7, 14, 11, 36}, 60, "Mon, 07 Dec 2026 14:11:36 +0100"},
           Case{{2027, 1, 1, 0, 0, 0}, 60, "Fri, 01 Jan 2027 00:00:00 +0100"},
           Case{{2028, 2, 29, 23, 59, 59}, 120, "Tue, 29 Feb 2028 23:59:59 +0200"},
           Case{{2026, 3, 1, 8, 5, 0}, -330, "Sun, 01 Mar 2026 08:05:00 -0530"},
       })
    EXPECT_EQ(mail::DateHeader(c.time, c.offset), c.expected);
}

TEST(MailMessage, WholeMessageOfAFixedInput) {
  mail::Message m;
  m.from = "buero@example.de";
  m.fromName = "Müller GmbH";
  m.to = "kunde@example.org";
  m.subject = "Rechnung 17 über 5 €";
  m.body = "Guten Tag,\nanbei.\n";
  m.attachments.push_back({"Rechnung-17.pdf", "application/pdf", std::string("%PDF\0\xff", 6)});
  const std::string expected =
      "From: =?UTF-8?B?TcO8bGxlciBHbWJI?= <buero@example.de>\r\n"
      "To: kunde@example.org\r\n"
      "Subject: =?UTF-8?B?UmVjaG51bmcgMTcgw7xiZXIgNSDigqw=?=\r\n"
      "Date: Mon, 07 Dec 2026 14:11:36 +0100\r\n"
      "Message-ID: <1.2@example.de>\r\n"
      "MIME-Version: 1.0\r\n"
      "Content-Type: multipart/mixed; boundary=\"=_b\"\r\n"
      "\r\n"
      "--=_b\r\n"
      "Content-Type: text/plain; charset=UTF-8\r\n"
      "Content-Transfer-Encoding: base64\r\n"
      "\r\n"
      "R3V0ZW4gVGFnLA0KYW5iZWkuDQo=\r\n"
      "--=_b\r\n"
      "Content-Type: application/pdf; name=\"Rechnung-17.pdf\"\r\n"
      "Content-Transfer-Encoding: base64\r\n"
      "Content-Disposition: attachment; filename=\"Rechnung-17.pdf\"\r\n"
      "\r\n"
      "JVBERgD/\r\n"
      "--=_b--\r\n";
  EXPECT_EQ(mail::BuildMessage(m, "Mon, 07 Dec 2026 14:11:36 +0100",
                               mail::MakeMessageId(m.from, 1, 2), "=_b"),
            expected);
}

TEST(MailAddress, OnlyPlainAddressesPass) {
  testsupport::ExpectEach<std::string, bool>(
      [](const std::string& a) { return mail::ValidAddress(a); },
      {{"kunde@example.de", true},
       {"a.b+rechnung@sub.example-firma.de", true},
       {"o'neil@example.ie", true},
       {"", false},
       {"kunde", false},
       {"kunde@localhost", false},
       {"@example.de", false},
       {"kunde@@example.de", false},
       {"kun de@example.de", false},
       {".kunde@example.de", false},
       {"kunde.@example.de", false},
       {"ku..nde@example.de", false},
       {"kunde@-example.de", false},
       {"kunde@example..de", false},
       {"kunde@example.de\r\nBcc: x@y.de", false},
       {"Kunde <kunde@example.de>", false},
       {"\"k\"@example.de", false},
       {"kunde@exämple.de", false},
       {std::string(65, 'k') + "@example.de", false}});
}

}  // namespace
