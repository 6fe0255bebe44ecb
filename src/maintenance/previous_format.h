// The record files of the previous program version and their conversion at
// the first start with an older parameter file.
//
// Only the sizes of the previous records are known for certain (articles
// 234 bytes, addresses 760, order heads 78, order lines 168 with the article
// reference at byte 158) and how many characters of each text are taken
// over; the layouts below place the fields in that room. Texts are copied up
// to their terminating zero, cut to the width of the new field; whole
// numbers of the previous articles (stock, minimum, target, on order) are
// widened to the new floating-point fields, the tier quantities to 32 bits.
// The index files kept their layout. Layout: doc/formats/previous-formats.md.
#ifndef BELVON_MAINTENANCE_PREVIOUS_FORMAT_H
#define BELVON_MAINTENANCE_PREVIOUS_FORMAT_H

#include <cstddef>
#include <cstdint>

#include "store/app_state.h"
#include "maintenance/file_images.h"

namespace maintenance {

#pragma pack(push, 1)
struct PreviousArticleRecord {
  std::uint16_t length;  // 234
  char number[22];
  char designation[42];
  char productGroup[22];
  char remark1[42];
  char remark2[46];
  char supplier[12];
  std::int32_t price1;
  std::int16_t quantityPrice2;
  std::int32_t price2;
  std::int16_t quantityPrice3;
  std::int32_t price3;
  std::int16_t quantityPrice4;
  std::int32_t price4;
  std::int32_t purchasePrice;
  std::int16_t stock[6];
  std::int16_t minimumStock;
  std::int16_t targetStock;
  std::int16_t quantityOnOrder;
  std::uint8_t flags;
  std::uint8_t currency;
};

struct PreviousAddressRecord {
  std::uint16_t length;  // 760
  std::uint16_t kind;
  char customerNumber[10];
  char name1[42];
  char name2[42];  // the index key, at byte 56 as today
  char name3[42];
  char street[42];
  char town[42];
  char phone[22];
  char fax[22];
  char email[42];
  char mobile[14];
  char vatId[14];
  char remark[370];
  char appointment[12];
  char firstContact[12];
  char lastOrder[12];
  std::int16_t cashDiscount;
  std::int16_t paymentPeriod;
  std::int16_t cashDiscountPeriod;
  std::int32_t turnover;
  std::uint8_t salutation;
  std::uint8_t currency;
  std::int16_t copies;
  std::uint8_t reserved[2];
};

// The previous head is the current one without its last two bytes (dunning
// level and currency, which start at 0).
struct PreviousOrderLine {
  std::uint16_t length;  // 168
  double quantity;
  char articleNumber[22];
  char description1[42];
  char description2[42];
  char longText[30];
  std::int32_t salePrice;
  std::int32_t costPrice;
  std::int16_t discount;
  std::int16_t taxCode;
  std::int32_t articleRef;
  std::int32_t orderNumber;
  std::uint16_t flags;
};
#pragma pack(pop)

static_assert(sizeof(PreviousArticleRecord) == 234);
static_assert(offsetof(PreviousArticleRecord, number) == 2);
static_assert(sizeof(PreviousAddressRecord) == 760);
static_assert(offsetof(PreviousAddressRecord, name2) == 56);
static_assert(sizeof(PreviousOrderLine) == 168);
static_assert(offsetof(PreviousOrderLine, articleRef) == 158);
inline constexpr std::size_t kPreviousOrderHeadSize = 78;

// One record of the previous layout (its bytes as read) in the current one.
void ConvertPreviousArticle(const Bytes& read, Bytes& record);
void ConvertPreviousAddress(const Bytes& read, Bytes& record);
void ConvertPreviousHead(const Bytes& read, Bytes& head);
void ConvertPreviousLine(const Bytes& read, Bytes& line);

// The start-up conversion of articles, addresses and orders, in this order,
// each committed with the note of its progress, so that a start after a
// crash goes on with the first file not yet converted and never converts one
// twice. The last step puts the parameter file of the current layout (from
// app.nextOrderNumber and app.parameters) in place and removes the note.
void ConvertPreviousFormat(frame::AppState& app);

}  // namespace maintenance

#endif  // BELVON_MAINTENANCE_PREVIOUS_FORMAT_H
