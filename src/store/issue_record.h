// One record of AUSGANG.DAT, the book of issued invoices: what an invoice,
// credit note or collective invoice stated when it was issued. Written once,
// never changed; everything that states an issued invoice later reads it.
//
// Layout: doc/formats/issue-file.md
#ifndef BELVON_STORE_ISSUE_RECORD_H
#define BELVON_STORE_ISSUE_RECORD_H

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace store {

inline constexpr std::size_t kIssueRecordSize = 384;
inline constexpr char kIssueRecordMagic[4] = {'B', 'V', 'R', 'A'};
inline constexpr std::uint16_t kIssueRecordVersion = 1;

// IssueRecord::kind.
inline constexpr std::uint8_t kIssuedInvoice = 1;
inline constexpr std::uint8_t kIssuedCreditNote = 2;
inline constexpr std::uint8_t kIssuedCollectiveInvoice = 3;

// IssueRecord::flags.
// Issued by a version that kept no record: taken over from the stored total
// and the tax rates in force when the record was made.
inline constexpr std::uint8_t kIssueTakenOver = 1;
// The order's prices include the tax.
inline constexpr std::uint8_t kIssueGrossPrices = 2;
// A credit note that cancels the invoice named in precedingInvoice in full.
inline constexpr std::uint8_t kIssueCancellation = 4;
// Taken over, but the order's lines give another total with the rates of
// the takeover than the one stored: the stored total is what the record states.
inline constexpr std::uint8_t kIssueFiguresUnknown = 8;

// The tax classes of an invoice: no tax, first rate, second rate.
inline constexpr int kIssueClasses = 3;

#pragma pack(push, 1)
struct IssuedClass {
  std::int16_t rate;  // tenths of a percent (0 for the class without tax)
  std::int64_t net;   // cents of the invoice's currency
  std::int64_t tax;
};

// Money in cents of the invoice's currency; a credit note states negative
// amounts, as its order does. Texts zero-terminated Windows-1252.
struct IssueRecord {
  char magic[4];                 // "BVRA"
  std::uint16_t length;          // 384
  std::uint16_t version;         // 1
  std::int32_t invoiceNumber;    // the order number
  std::uint8_t kind;             // kIssued*
  std::uint8_t flags;            // kIssue*
  char invoiceDate[12];          // "dd.mm.yyyy"
  char serviceDate[12];          // date of the supply or service
  char customerNumber[10];
  char customerName[42];         // name lines 1 and 2, cut
  std::uint8_t currency;         // currency index 0..3
  char currencySymbol[4];
  std::uint8_t reserved1;
  IssuedClass classes[kIssueClasses];
  std::int64_t total;            // the amount stated ("Rechnungsbetrag", "Gutschrift")
  std::int16_t paymentPeriod;    // days
  std::int16_t cashDiscount;     // tenths of a percent
  std::int16_t cashDiscountPeriod;
  std::int32_t precedingInvoice; // a credit note: the invoice it corrects; 0 none
  char precedingDate[12];        // that invoice's date
  std::uint8_t pdfSha256[32];    // of ARCHIV/<number>.pdf; zeros when none
  std::uint8_t xmlSha256[32];    // of ARCHIV/<number>.xml; zeros when none
  std::int64_t issuedAt;         // local time of the issue, seconds since 01.01.1970 00:00; 0 taken over
  std::uint8_t reserved2[124];
  std::uint8_t check[8];         // the first 8 bytes of SHA-256 of bytes 0 .. 375
};
#pragma pack(pop)

static_assert(sizeof(IssuedClass) == 18);
static_assert(sizeof(IssueRecord) == kIssueRecordSize);
static_assert(std::is_trivially_copyable_v<IssueRecord>);
static_assert(offsetof(IssueRecord, length) == 4);
static_assert(offsetof(IssueRecord, version) == 6);
static_assert(offsetof(IssueRecord, invoiceNumber) == 8);
static_assert(offsetof(IssueRecord, kind) == 12);
static_assert(offsetof(IssueRecord, flags) == 13);
static_assert(offsetof(IssueRecord, invoiceDate) == 14);
static_assert(offsetof(IssueRecord, serviceDate) == 26);
static_assert(offsetof(IssueRecord, customerNumber) == 38);
static_assert(offsetof(IssueRecord, customerName) == 48);
static_assert(offsetof(IssueRecord, currency) == 90);
static_assert(offsetof(IssueRecord, currencySymbol) == 91);
static_assert(offsetof(IssueRecord, classes) == 96);
static_assert(offsetof(IssueRecord, total) == 150);
static_assert(offsetof(IssueRecord, paymentPeriod) == 158);
static_assert(offsetof(IssueRecord, cashDiscount) == 160);
static_assert(offsetof(IssueRecord, cashDiscountPeriod) == 162);
static_assert(offsetof(IssueRecord, precedingInvoice) == 164);
static_assert(offsetof(IssueRecord, precedingDate) == 168);
static_assert(offsetof(IssueRecord, pdfSha256) == 180);
static_assert(offsetof(IssueRecord, xmlSha256) == 212);
static_assert(offsetof(IssueRecord, issuedAt) == 244);
static_assert(offsetof(IssueRecord, check) == kIssueRecordSize - 8);

// The check bytes the record's other bytes give.
void SealIssueRecord(IssueRecord& record);
// Magic, length, version and check bytes are right.
bool IssueRecordSound(const IssueRecord& record);

}  // namespace store

#endif  // BELVON_STORE_ISSUE_RECORD_H
