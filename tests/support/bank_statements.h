// Bank statements written by the tests, in the layouts German banks send:
// CAMT.053 (version .02 with the nested Ntry/NtryDtls/TxDtls layout, or .08
// with its Pty wrapping, optionally with a namespace prefix), MT940 with
// the structured field 86, and a ZIP of several files (stored, as the
// banks' portals pack them).
#ifndef BELVON_TESTS_SUPPORT_BANK_STATEMENTS_H
#define BELVON_TESTS_SUPPORT_BANK_STATEMENTS_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

struct Booking {
  std::string date = "2026-12-04";  // ISO
  std::int64_t cents = 0;           // signed
  std::string name;
  std::string text;
  std::string endToEnd;
  std::string reference;            // the bank's; empty: none
  std::string currency = "EUR";
  std::string iban = "DE02120300000000202051";
  bool reversal = false;
};

inline std::string Amount(std::int64_t cents, char separator) {
  const std::int64_t a = cents < 0 ? -cents : cents;
  char text[40];
  std::snprintf(text, sizeof text, "%lld%c%02lld", static_cast<long long>(a / 100), separator,
                static_cast<long long>(a % 100));
  return text;
}

// One CAMT.053 document; `batch` puts all bookings into one entry with
// several TxDtls (the entry's amount their sum, all of one sign).
inline std::string Camt(const std::vector<Booking>& bookings, int version = 2,
                        const std::string& prefix = "", bool batch = false) {
  const std::string p = prefix.empty() ? "" : prefix + ":";
  auto open = [&](const std::string& n) { return "<" + p + n + ">"; };
  auto close = [&](const std::string& n) { return "</" + p + n + ">"; };
  auto el = [&](const std::string& n, const std::string& v) { return open(n) + v + close(n); };
  const std::string ns = "urn:iso:std:iso:20022:tech:xsd:camt.053.001.0" + std::to_string(version);
  std::string x = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + p + "Document xmlns" +
                  (prefix.empty() ? "" : ":" + prefix) + "=\"" + ns + "\">" + open("BkToCstmrStmt") +
                  el("GrpHdr", el("MsgId", "M1")) + open("Stmt") + el("Id", "S1") +
                  el("Acct", el("Id", el("IBAN", "DE44500105175407324931")));
  auto party = [&](const Booking& b) {
    const bool credit = b.cents > 0;
    const std::string who = credit ? "Dbtr" : "Cdtr";
    const std::string name = version >= 8 ? el("Pty", el("Nm", b.name)) : el("Nm", b.name);
    return el("RltdPties", el(who, name) + el(who + "Acct", el("Id", el("IBAN", b.iban))));
  };
  auto details = [&](const Booking& b, bool withAmount) {
    std::string d = open("TxDtls");
    std::string refs;
    if (batch && !b.reference.empty()) refs += el("AcctSvcrRef", b.reference);
    refs += el("EndToEndId", b.endToEnd.empty() ? "NOTPROVIDED" : b.endToEnd);
    d += el("Refs", refs);
    if (withAmount) {
      const std::string amt = "<" + p + "Amt Ccy=\"" + b.currency + "\">" + Amount(b.cents, '.') + close("Amt");
      d += version >= 3 ? amt + el("CdtDbtInd", b.cents > 0 ? "CRDT" : "DBIT")
                        : el("AmtDtls", el("TxAmt", amt));
    }
    d += party(b);
    if (!b.text.empty()) d += el("RmtInf", el("Ustrd", b.text));
    return d + close("TxDtls");
  };
  auto entry = [&](const Booking& b, std::int64_t cents, const std::string& inner) {
    std::string e = open("Ntry");
    e += "<" + p + "Amt Ccy=\"" + b.currency + "\">" + Amount(cents, '.') + close("Amt");
    e += el("CdtDbtInd", cents > 0 ? "CRDT" : "DBIT");
    if (b.reversal) e += el("RvslInd", "true");
    e += version >= 8 ? el("Sts", el("Cd", "BOOK")) : el("Sts", "BOOK");
    e += el("BookgDt", el("Dt", b.date)) + el("ValDt", el("Dt", b.date));
    if (!b.reference.empty() && !batch) e += el("AcctSvcrRef", b.reference);
    if (batch) e += el("AcctSvcrRef", "BATCH1");
    return e + el("NtryDtls", inner) + close("Ntry");
  };
  if (batch) {
    std::int64_t sum = 0;
    std::string inner;
    for (const Booking& b : bookings) {
      sum += b.cents;
      inner += details(b, true);
    }
    x += entry(bookings.front(), sum, inner);
  } else {
    for (const Booking& b : bookings) x += entry(b, b.cents, details(b, version >= 3));
  }
  return x + close("Stmt") + close("BkToCstmrStmt") + close("Document") + "\n";
}

// Field 86 lines of at most 27 characters, ?20.. ?29 then ?60 ..
inline std::string Field86(const Booking& b) {
  std::string purpose = b.endToEnd.empty() ? "" : "EREF+" + b.endToEnd + " ";
  purpose += "SVWZ+" + b.text;
  std::string f = ":86:166?00GUTSCHRIFT?109310";
  int key = 20;
  for (std::size_t at = 0; at < purpose.size() && key <= 63; at += 27) {
    f += "?" + std::to_string(key) + purpose.substr(at, 27);
    key = key == 29 ? 60 : key + 1;
  }
  f += "?30COBADEFFXXX?31" + b.iban;
  f += "?32" + b.name.substr(0, 27);
  if (b.name.size() > 27) f += "?33" + b.name.substr(27, 27);
  return f + "\r\n";
}

inline std::string Mt940(const std::vector<Booking>& bookings) {
  std::string m = ":20:STARTUMSE\r\n:25:50010517/5407324931\r\n:28C:00001/001\r\n:60F:C261201EUR0,00\r\n";
  std::int64_t balance = 0;
  for (const Booking& b : bookings) {
    const std::string d = b.date.substr(2, 2) + b.date.substr(5, 2) + b.date.substr(8, 2);
    std::string mark = b.cents > 0 ? "C" : "D";
    m += ":61:" + d + d.substr(2) + mark + Amount(b.cents, ',') + "NTRFNONREF";
    if (!b.reference.empty()) m += "//" + b.reference;
    m += "\r\n" + Field86(b);
    balance += b.cents;
  }
  m += ":62F:" + std::string(balance < 0 ? "D" : "C") + "261231EUR" + Amount(balance, ',') + "\r\n-\r\n";
  return m;
}

inline std::uint32_t Crc32(const std::string& bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : bytes) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

// A ZIP of the named files, stored without compression.
inline std::string Zip(const std::vector<std::pair<std::string, std::string>>& files) {
  auto u16 = [](std::string& s, std::uint32_t v) { s += char(v & 0xFF); s += char((v >> 8) & 0xFF); };
  auto u32 = [&](std::string& s, std::uint32_t v) { u16(s, v & 0xFFFF); u16(s, v >> 16); };
  std::string out, central;
  for (const auto& [name, data] : files) {
    const std::uint32_t offset = static_cast<std::uint32_t>(out.size()), crc = Crc32(data);
    const auto size = static_cast<std::uint32_t>(data.size());
    u32(out, 0x04034b50); u16(out, 20); u16(out, 0); u16(out, 0); u16(out, 0); u16(out, 0x5921);
    u32(out, crc); u32(out, size); u32(out, size); u16(out, static_cast<std::uint32_t>(name.size())); u16(out, 0);
    out += name + data;
    u32(central, 0x02014b50); u16(central, 20); u16(central, 20); u16(central, 0); u16(central, 0);
    u16(central, 0); u16(central, 0x5921); u32(central, crc); u32(central, size); u32(central, size);
    u16(central, static_cast<std::uint32_t>(name.size())); u16(central, 0); u16(central, 0); u16(central, 0);
    u16(central, 0); u32(central, 0); u32(central, offset);
    central += name;
  }
  const std::uint32_t at = static_cast<std::uint32_t>(out.size());
  out += central;
  u32(out, 0x06054b50); u16(out, 0); u16(out, 0); u16(out, static_cast<std::uint32_t>(files.size()));
  u16(out, static_cast<std::uint32_t>(files.size())); u32(out, static_cast<std::uint32_t>(central.size()));
  u32(out, at); u16(out, 0);
  return out;
}

}  // namespace testsupport

#endif  // BELVON_TESTS_SUPPORT_BANK_STATEMENTS_H
