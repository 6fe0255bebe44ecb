// One address of KUNDEN.DAT (customers, suppliers and other contacts), byte
// for byte.
//
// Layout: doc/formats/address-file.md
#ifndef BELVON_STORE_ADDRESS_RECORD_H
#define BELVON_STORE_ADDRESS_RECORD_H

#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

#include "store/record_fields.h"

namespace store {

inline constexpr std::size_t kAddressRecordSize = 1192;

// AddressRecord::kind. The dialog keeps the stored kind when no button is set.
inline constexpr std::uint16_t kAddressCustomer = 1;
inline constexpr std::uint16_t kAddressSupplier = 2;
inline constexpr std::uint16_t kAddressAdvertising = 4;
inline constexpr std::uint16_t kAddressOther = 8;

// AddressRecord::salutation holds the salutation in its low four bits (one of
// these, or 0 for none) and three document options above them. Older
// versions wrote bits 16 and 64 as zero, so a set bit 16 was set by us.
inline constexpr std::uint8_t kSalutationNone = 0;
inline constexpr std::uint8_t kSalutationCompany = 1;
inline constexpr std::uint8_t kSalutationMr = 2;
inline constexpr std::uint8_t kSalutationMrs = 4;
inline constexpr std::uint8_t kSalutationAn = 8;  // "An", no personal salutation
inline constexpr std::uint8_t kSalutationMask = 0x0F;
inline constexpr std::uint8_t kAddressSendXRechnung = 16;  // mails carry the XRechnung XML
inline constexpr std::uint8_t kAddressNoDunning = 32;
inline constexpr std::uint8_t kAddressPrintDiscountSum = 128;

// The delivery address has seven lines; 1..5 hold 42 bytes, 6 and 7 only 22.
inline constexpr std::size_t kDeliveryLineCount = 7;

#pragma pack(push, 1)
// Texts are zero-terminated Windows-1252 in fixed fields (GetText/SetText).
struct AddressRecord {
  std::uint16_t length;     // always 1192
  std::uint16_t kind;       // kAddressCustomer ... kAddressOther
  char customerNumber[10];  // at most 9 characters, normally digits
  char name1[42];
  char name2[42];  // the index key
  char name3[42];
  char street[42];
  char town[42];  // postcode and town
  char phone[22];
  char mobile[22];
  char fax[22];
  char email[42];
  std::uint8_t reserved[70];
  char remark[402];  // multi-line, at most 401 characters
  char vatId[42];
  char dispatch[42];
  char appointment[12];  // date texts "dd.mm.yyyy"
  char firstContact[12];
  char lastOrder[12];
  std::int16_t cashDiscount;        // tenths of a percent
  std::int16_t paymentPeriod;       // days
  std::int16_t cashDiscountPeriod;  // days
  std::int32_t turnover;            // hundredths of the main currency
  std::uint8_t salutation;          // kSalutation* | kAddress* options
  std::uint8_t currency;            // currency index 0..2
  std::int16_t copies;              // copies printed per document
  char deliveryLine1[42];
  char deliveryLine2[42];
  char deliveryLine3[42];
  char deliveryLine4[42];
  char deliveryLine5[42];
  char deliveryLine6[22];
  char deliveryLine7[22];
};
#pragma pack(pop)

static_assert(sizeof(AddressRecord) == kAddressRecordSize);
static_assert(std::is_trivially_copyable_v<AddressRecord>);
static_assert(std::is_standard_layout_v<AddressRecord>);
static_assert(offsetof(AddressRecord, length) == 0);
static_assert(offsetof(AddressRecord, kind) == 2);
static_assert(offsetof(AddressRecord, customerNumber) == 4);
static_assert(offsetof(AddressRecord, name1) == 14);
static_assert(offsetof(AddressRecord, name2) == 56);
static_assert(offsetof(AddressRecord, name3) == 98);
static_assert(offsetof(AddressRecord, street) == 140);
static_assert(offsetof(AddressRecord, town) == 182);
static_assert(offsetof(AddressRecord, phone) == 224);
static_assert(offsetof(AddressRecord, mobile) == 246);
static_assert(offsetof(AddressRecord, fax) == 268);
static_assert(offsetof(AddressRecord, email) == 290);
static_assert(offsetof(AddressRecord, reserved) == 332);
static_assert(offsetof(AddressRecord, remark) == 402);
static_assert(offsetof(AddressRecord, vatId) == 804);
static_assert(offsetof(AddressRecord, dispatch) == 846);
static_assert(offsetof(AddressRecord, appointment) == 888);
static_assert(offsetof(AddressRecord, firstContact) == 900);
static_assert(offsetof(AddressRecord, lastOrder) == 912);
static_assert(offsetof(AddressRecord, cashDiscount) == 924);
static_assert(offsetof(AddressRecord, paymentPeriod) == 926);
static_assert(offsetof(AddressRecord, cashDiscountPeriod) == 928);
static_assert(offsetof(AddressRecord, turnover) == 930);
static_assert(offsetof(AddressRecord, salutation) == 934);
static_assert(offsetof(AddressRecord, currency) == 935);
static_assert(offsetof(AddressRecord, copies) == 936);
static_assert(offsetof(AddressRecord, deliveryLine1) == 938);
static_assert(offsetof(AddressRecord, deliveryLine2) == 980);
static_assert(offsetof(AddressRecord, deliveryLine3) == 1022);
static_assert(offsetof(AddressRecord, deliveryLine4) == 1064);
static_assert(offsetof(AddressRecord, deliveryLine5) == 1106);
static_assert(offsetof(AddressRecord, deliveryLine6) == 1148);
static_assert(offsetof(AddressRecord, deliveryLine7) == 1170);

// Delivery line `line` (1..7) as a char field of its own width, so that the
// dialog and the printing can walk the seven lines in a loop. Lines outside
// 1..7 give an empty span.
std::span<char> DeliveryLine(AddressRecord& address, int line);
std::span<const char> DeliveryLine(const AddressRecord& address, int line);

// Every field of AddressRecord, in offset order.
FieldTable AddressRecordFields();

}  // namespace store

#endif  // BELVON_STORE_ADDRESS_RECORD_H
