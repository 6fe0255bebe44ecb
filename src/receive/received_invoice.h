// What a reader needs of an e-invoice a supplier sent: the business terms of
// EN 16931, whichever syntax (CII or UBL) carried them. Texts are UTF-8 as
// the file has them; dates are "dd.mm.yyyy"; every amount keeps the text the
// file states beside its value, so that what we show and hand on is the
// supplier's figure, not one we rounded.
#ifndef BELVON_RECEIVE_RECEIVED_INVOICE_H
#define BELVON_RECEIVE_RECEIVED_INVOICE_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace receive {

struct Amount {
  std::string text;  // as the file states it ("1234.50"); empty when absent
  double value = 0;
  bool present() const { return !text.empty(); }
};

// An amount read from the text of an element; absent (and 0) when the text
// is no plain decimal number.
Amount ReadAmount(std::string_view text);
// The amount in cents, rounded half away from zero.
std::int64_t Cents(double value);

struct Party {
  std::string name;
  std::string street;
  std::string additionalStreet;
  std::string postcode;
  std::string city;
  std::string country;
  std::string vatId;
  std::string taxNumber;
  std::string contactName;
  std::string contactPhone;
  std::string contactEmail;
  std::string electronicAddress;
};

// An allowance (charge false) or a charge on a line or the whole document.
struct Adjustment {
  bool charge = false;
  Amount amount;
  Amount base;
  Amount percent;
  std::string reason;
  std::string category;  // document level only: the VAT category
  Amount rate;
};

struct Line {
  std::string id;
  std::string name;
  std::string description;
  std::string note;
  Amount quantity;
  std::string unit;  // UN/ECE rec. 20 code
  Amount netPrice;
  Amount grossPrice;
  Amount baseQuantity;
  std::vector<Adjustment> adjustments;
  Amount netAmount;
  std::string category;
  Amount rate;
};

struct TaxBreakdown {
  std::string category;
  Amount rate;
  Amount basis;
  Amount tax;
  std::string exemptionReason;
};

// BT-106 ... BT-115.
struct Totals {
  Amount lineNet;     // BT-106
  Amount allowances;  // BT-107
  Amount charges;     // BT-108
  Amount taxBasis;    // BT-109
  Amount tax;         // BT-110
  Amount total;       // BT-112
  Amount prepaid;     // BT-113
  Amount rounding;    // BT-114
  Amount due;         // BT-115
};

struct PaymentMeans {
  std::string code;  // UNTDID 4461: 58 SEPA transfer, 59 direct debit, ...
  std::string information;
  std::string iban;
  std::string bic;
  std::string accountName;
  std::string remittance;  // BT-83
};

// A document attached inside the e-invoice (BG-24).
struct Attachment {
  std::string id;
  std::string description;
  std::string fileName;
  std::string mimeCode;
  std::string content;  // decoded bytes; empty when only a link is given
  std::string uri;
};

enum class Syntax { Cii, Ubl };

struct ReceivedInvoice {
  Syntax syntax = Syntax::Cii;
  std::string specification;    // BT-24
  std::string number;           // BT-1
  std::string typeCode;         // BT-3: 380 invoice, 381 credit note, 384 correction, ...
  std::string issueDate;        // BT-2
  std::string currency;         // BT-5
  std::string deliveryDate;     // BT-72
  std::string periodStart;      // BT-73
  std::string periodEnd;        // BT-74
  std::string buyerReference;   // BT-10, the Leitweg-ID for the public sector
  std::string orderReference;   // BT-13
  std::string precedingNumber;  // BT-25
  std::string precedingDate;    // BT-26
  Party seller;
  Party buyer;
  std::string payeeName;  // BT-59
  std::vector<Line> lines;
  std::vector<Adjustment> adjustments;
  std::vector<TaxBreakdown> breakdown;
  Totals totals;
  std::string paymentTerms;  // BT-20
  std::string dueDate;       // BT-9
  std::vector<PaymentMeans> payments;
  std::vector<std::string> notes;
  std::vector<Attachment> attachments;

  bool creditNote() const { return typeCode == "381" || typeCode == "261" || typeCode == "396"; }
  // The first IBAN to pay to (a direct debit's account is the buyer's).
  std::string iban() const;
};

// "Rechnung", "Gutschrift", "Rechnungskorrektur", ... for the type code.
std::string TypeName(std::string_view typeCode);
// "yyyymmdd" (CII format 102) or "yyyy-mm-dd" as "dd.mm.yyyy"; any other
// text as it is.
std::string GermanDate(std::string_view text);

}  // namespace receive

#endif  // BELVON_RECEIVE_RECEIVED_INVOICE_H
