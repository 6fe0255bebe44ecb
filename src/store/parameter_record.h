// The company settings of BELVON.PAR, byte for byte.
//
// The file is the 4-byte next order number followed by one ParameterRecord;
// the record's offsets below are relative to its own start (file offset - 4).
// "Flag" fields are signed 16-bit, 0 = off, anything else = on.
//
// Layout: doc/formats/parameter-file.md
#ifndef BELVON_STORE_PARAMETER_RECORD_H
#define BELVON_STORE_PARAMETER_RECORD_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "store/record_fields.h"

namespace store {

inline constexpr std::size_t kParameterRecordSize = 3530;
inline constexpr std::size_t kParameterFileSize = 4 + kParameterRecordSize;  // 3534
// A file of at most this many bytes still has the older, shorter layout and
// is converted on load.
inline constexpr std::size_t kOldParameterFileMaxSize = 2642;

// The tax-rate table: 12 signed 16-bit slots in tenths of a percent, three
// per currency. Only rates 2 and 3 of currencies 0..2 are edited and used.
// The record declares just the first nine slots as taxRates[]; slots 9..11
// (bytes 1462..1467) lie under fourthCurrencyPrint and reserved4.
inline constexpr std::size_t kTaxRateTableOffset = 1444;
inline constexpr std::size_t kTaxRateSlots = 12;

#pragma pack(push, 1)
struct ParameterRecord {
  std::uint8_t reserved0[2];
  char companyName1[80];  // also the heading of every printed list
  char street[80];
  char town[80];  // postcode and town
  char phone[40];
  char mobile[40];
  char fax[40];
  char email[40];
  char bank1Name[42];
  char bank1Iban[28];
  char bank2Name[42];
  char bank2SortCode[14];
  char bank2Account[14];
  char bank3Name[42];
  char bank3SortCode[14];
  char bank3Account[14];
  char companyName2[82];
  char companyName3[82];
  std::int16_t cashDiscount;        // tenths of a percent
  std::int16_t cashDiscountPeriod;  // days
  std::int16_t paymentPeriod;       // days
  char offerArticleNumber[22];      // offer of the week
  char offerDesignation[42];
  std::int32_t offerPrice;         // hundredths of the offer's currency
  std::int16_t printLetterhead;    // flag
  std::int16_t printFooter;        // flag
  std::int16_t printOffer;         // flag: offer of the week on documents
  std::int16_t printPreview;       // flag: preview instead of printing
  std::int16_t dunningPeriods[3];  // days, stages 1..3
  char dunningText1[81];           // path of the letter body of each stage
  char dunningText2[81];
  char dunningText3[81];
  std::uint8_t reserved1107[1];
  std::int16_t dunningFees[3];  // whole currency units, stages 1..3
  char dunningTitle1[81];
  char dunningTitle2[81];
  char dunningTitle3[81];
  std::uint8_t reserved1357[1];
  std::uint8_t reserved1358[60];       // carried over from the older layout
  std::int16_t printOffsetVertical;    // millimetres, -100..100
  std::int16_t printOffsetHorizontal;  // millimetres, -100..100
  std::int16_t pricesHidden;           // flag; the print dialog shows it inverted
  std::int16_t printSignature;         // flag
  std::int16_t offerCurrency;          // currency index 0..3 of the offer price
  char currencySymbol1[4];             // at most 3 characters each
  char currencySymbol2[4];
  char currencySymbol3[4];
  char currencySymbol4[4];
  std::int16_t taxRates[9];          // slots 0..8 of the tax-rate table, see TaxRate()
  std::int16_t fourthCurrencyPrint;  // flag; overlays tax slot 9
  std::uint8_t reserved4[4];         // overlays tax slots 10 and 11
  float exchangeRates[4];            // units of currency i per unit of currency 1
  std::int16_t grossPrices;          // flag: article prices include tax
  char footerQuotation[321];         // at most 320 characters each
  char footerConfirmation[321];
  char footerDeliveryNote[321];
  char footerInvoice[321];
  std::int16_t autoArticleNumber;      // flag
  std::int16_t printPaymentTerms;      // flag
  std::int16_t hideArticleNumber;      // flag
  char deliveryNoteTitle[30];          // at most 28 characters
  std::int16_t noDecimalsPrint;        // flag
  std::int16_t noLetterheadFromPage2;  // flag
  std::int16_t ordersOnA5;             // flag
  std::int16_t logoWidth;              // millimetres, 0..200
  std::uint8_t reserved2814[2];
  char logoFile[128];
  char vatId[40];
  char cashDrawerCommand[128];
  char letterheadLine1[40];
  char letterheadLine2[60];
  char letterheadLine3[60];
  std::int16_t printPhoneFax;  // flag
  char letterheadLine4[60];
  std::int16_t addressWindow;      // flag: sender line for a window envelope
  std::int16_t logoPosHorizontal;  // millimetres from the top right corner, 0..2000
  std::int16_t logoPosVertical;    // millimetres, 0..2000
  std::int16_t printBar;           // flag
  std::int16_t plusOneNumbering;   // flag: order numbers simply count up
  // Font descriptions of the letterhead in the printing layer's own form;
  // they are opaque bytes to everything else.
  char fontLine1[60];
  char fontLines2to4[60];
  std::uint8_t reserved3464[60];
  std::int16_t grossAsNet;             // flag; forces grossPrices on
  std::int16_t noSingleTax;            // flag
  std::int16_t noCustomerNumberPrint;  // flag
};
#pragma pack(pop)

static_assert(sizeof(ParameterRecord) == kParameterRecordSize);
static_assert(std::is_trivially_copyable_v<ParameterRecord>);
static_assert(std::is_standard_layout_v<ParameterRecord>);
static_assert(offsetof(ParameterRecord, reserved0) == 0);
static_assert(offsetof(ParameterRecord, companyName1) == 2);
static_assert(offsetof(ParameterRecord, street) == 82);
static_assert(offsetof(ParameterRecord, town) == 162);
static_assert(offsetof(ParameterRecord, phone) == 242);
static_assert(offsetof(ParameterRecord, mobile) == 282);
static_assert(offsetof(ParameterRecord, fax) == 322);
static_assert(offsetof(ParameterRecord, email) == 362);
static_assert(offsetof(ParameterRecord, bank1Name) == 402);
static_assert(offsetof(ParameterRecord, bank1Iban) == 444);
static_assert(offsetof(ParameterRecord, bank2Name) == 472);
static_assert(offsetof(ParameterRecord, bank2SortCode) == 514);
static_assert(offsetof(ParameterRecord, bank2Account) == 528);
static_assert(offsetof(ParameterRecord, bank3Name) == 542);
static_assert(offsetof(ParameterRecord, bank3SortCode) == 584);
static_assert(offsetof(ParameterRecord, bank3Account) == 598);
static_assert(offsetof(ParameterRecord, companyName2) == 612);
static_assert(offsetof(ParameterRecord, companyName3) == 694);
static_assert(offsetof(ParameterRecord, cashDiscount) == 776);
static_assert(offsetof(ParameterRecord, cashDiscountPeriod) == 778);
static_assert(offsetof(ParameterRecord, paymentPeriod) == 780);
static_assert(offsetof(ParameterRecord, offerArticleNumber) == 782);
static_assert(offsetof(ParameterRecord, offerDesignation) == 804);
static_assert(offsetof(ParameterRecord, offerPrice) == 846);
static_assert(offsetof(ParameterRecord, printLetterhead) == 850);
static_assert(offsetof(ParameterRecord, printFooter) == 852);
static_assert(offsetof(ParameterRecord, printOffer) == 854);
static_assert(offsetof(ParameterRecord, printPreview) == 856);
static_assert(offsetof(ParameterRecord, dunningPeriods) == 858);
static_assert(offsetof(ParameterRecord, dunningText1) == 864);
static_assert(offsetof(ParameterRecord, dunningText2) == 945);
static_assert(offsetof(ParameterRecord, dunningText3) == 1026);
static_assert(offsetof(ParameterRecord, reserved1107) == 1107);
static_assert(offsetof(ParameterRecord, dunningFees) == 1108);
static_assert(offsetof(ParameterRecord, dunningTitle1) == 1114);
static_assert(offsetof(ParameterRecord, dunningTitle2) == 1195);
static_assert(offsetof(ParameterRecord, dunningTitle3) == 1276);
static_assert(offsetof(ParameterRecord, reserved1357) == 1357);
static_assert(offsetof(ParameterRecord, reserved1358) == 1358);
static_assert(offsetof(ParameterRecord, printOffsetVertical) == 1418);
static_assert(offsetof(ParameterRecord, printOffsetHorizontal) == 1420);
static_assert(offsetof(ParameterRecord, pricesHidden) == 1422);
static_assert(offsetof(ParameterRecord, printSignature) == 1424);
static_assert(offsetof(ParameterRecord, offerCurrency) == 1426);
static_assert(offsetof(ParameterRecord, currencySymbol1) == 1428);
static_assert(offsetof(ParameterRecord, currencySymbol2) == 1432);
static_assert(offsetof(ParameterRecord, currencySymbol3) == 1436);
static_assert(offsetof(ParameterRecord, currencySymbol4) == 1440);
static_assert(offsetof(ParameterRecord, taxRates) == kTaxRateTableOffset);
static_assert(offsetof(ParameterRecord, fourthCurrencyPrint) == 1462);
static_assert(offsetof(ParameterRecord, reserved4) == 1464);
static_assert(offsetof(ParameterRecord, exchangeRates) == 1468);
static_assert(offsetof(ParameterRecord, grossPrices) == 1484);
static_assert(offsetof(ParameterRecord, footerQuotation) == 1486);
static_assert(offsetof(ParameterRecord, footerConfirmation) == 1807);
static_assert(offsetof(ParameterRecord, footerDeliveryNote) == 2128);
static_assert(offsetof(ParameterRecord, footerInvoice) == 2449);
static_assert(offsetof(ParameterRecord, autoArticleNumber) == 2770);
static_assert(offsetof(ParameterRecord, printPaymentTerms) == 2772);
static_assert(offsetof(ParameterRecord, hideArticleNumber) == 2774);
static_assert(offsetof(ParameterRecord, deliveryNoteTitle) == 2776);
static_assert(offsetof(ParameterRecord, noDecimalsPrint) == 2806);
static_assert(offsetof(ParameterRecord, noLetterheadFromPage2) == 2808);
static_assert(offsetof(ParameterRecord, ordersOnA5) == 2810);
static_assert(offsetof(ParameterRecord, logoWidth) == 2812);
static_assert(offsetof(ParameterRecord, reserved2814) == 2814);
static_assert(offsetof(ParameterRecord, logoFile) == 2816);
static_assert(offsetof(ParameterRecord, vatId) == 2944);
static_assert(offsetof(ParameterRecord, cashDrawerCommand) == 2984);
static_assert(offsetof(ParameterRecord, letterheadLine1) == 3112);
static_assert(offsetof(ParameterRecord, letterheadLine2) == 3152);
static_assert(offsetof(ParameterRecord, letterheadLine3) == 3212);
static_assert(offsetof(ParameterRecord, printPhoneFax) == 3272);
static_assert(offsetof(ParameterRecord, letterheadLine4) == 3274);
static_assert(offsetof(ParameterRecord, addressWindow) == 3334);
static_assert(offsetof(ParameterRecord, logoPosHorizontal) == 3336);
static_assert(offsetof(ParameterRecord, logoPosVertical) == 3338);
static_assert(offsetof(ParameterRecord, printBar) == 3340);
static_assert(offsetof(ParameterRecord, plusOneNumbering) == 3342);
static_assert(offsetof(ParameterRecord, fontLine1) == 3344);
static_assert(offsetof(ParameterRecord, fontLines2to4) == 3404);
static_assert(offsetof(ParameterRecord, reserved3464) == 3464);
static_assert(offsetof(ParameterRecord, grossAsNet) == 3524);
static_assert(offsetof(ParameterRecord, noSingleTax) == 3526);
static_assert(offsetof(ParameterRecord, noCustomerNumberPrint) == 3528);
// The twelve tax slots end exactly where the exchange rates begin.
static_assert(kTaxRateTableOffset + 2 * kTaxRateSlots == offsetof(ParameterRecord, exchangeRates));

// Tax-rate slot `slot` (0..11) straight from the record's bytes, so that the
// slots under fourthCurrencyPrint and reserved4 read the same way as the rest.
inline std::int16_t TaxRateSlot(const ParameterRecord& parameters, std::size_t slot) {
  std::int16_t value;
  std::memcpy(&value,
              reinterpret_cast<const unsigned char*>(&parameters) + kTaxRateTableOffset + 2 * slot,
              sizeof value);
  return value;
}

inline void SetTaxRateSlot(ParameterRecord& parameters, std::size_t slot, std::int16_t value) {
  std::memcpy(reinterpret_cast<unsigned char*>(&parameters) + kTaxRateTableOffset + 2 * slot,
              &value, sizeof value);
}

// Tax rate k (1..3) of currency `currency` (0..2), in tenths of a percent.
// Rates 2 and 3 are the first and second rate the orders work with.
inline std::int16_t TaxRate(const ParameterRecord& parameters, int currency, int k) {
  return TaxRateSlot(parameters, static_cast<std::size_t>(3 * currency + (k - 1)));
}

inline void SetTaxRate(ParameterRecord& parameters, int currency, int k, std::int16_t value) {
  SetTaxRateSlot(parameters, static_cast<std::size_t>(3 * currency + (k - 1)), value);
}

// The rate a tax class (0 none, 1 and 2 the order's first and second rate)
// stands for in `currency`, in tenths of a percent: rates 2 and 3 of the
// currency; the fourth currency, which has none of its own, uses the first's.
inline std::int16_t TaxClassRate(const ParameterRecord& parameters, int currency, int taxClass) {
  if (taxClass < 1 || taxClass > 2) return 0;
  return TaxRate(parameters, currency >= 0 && currency <= 2 ? currency : 0, taxClass + 1);
}

// Every field of ParameterRecord, in offset order.
FieldTable ParameterRecordFields();

}  // namespace store

#endif  // BELVON_STORE_PARAMETER_RECORD_H
