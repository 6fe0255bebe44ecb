#include "store/address_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/user_interface.h"
#include "store/bytes.h"
#include "store/collation.h"
#include "store/data_file.h"
#include "store/discount_file.h"
#include "store/indexed_file.h"
#include "store/order_framing.h"
#include "store/text_field.h"

namespace store {

namespace {

using platform::Access;
using platform::Share;

long WholeNumber(std::string_view text) { return std::strtol(std::string(text).c_str(), nullptr, 10); }

IndexedFile AddressFileWithReferences(frame::AppState& app) {
  IndexedFile file = AddressFile(app);
  file.referencePasses = {
      {"die Rabatte (RABATT.DAT)",
       [&app](std::uint32_t from, std::uint32_t to, const std::uint8_t*, bool& changed) {
         return RewriteCustomerReference(app, static_cast<std::int32_t>(from),
                                         static_cast<std::int32_t>(to), &changed);
       }},
      {"die Aufträge (RECHNUNG.IDX, RECHNUNG.DAT)",
       [&app](std::uint32_t from, std::uint32_t to, const std::uint8_t*, bool& changed) {
         return RewriteOrderCustomers(app, from, to, &changed);
       }},
  };
  return file;
}

}  // namespace

int FinishInterruptedAddressMove(frame::AppState& app) {
  return AddressFileWithReferences(app).FinishInterruptedMove();
}

int DeleteAddress(frame::AppState& app, std::int32_t& position) {
  return AddressFile(app).DeleteIndexEntry(position);
}

int WriteAddress(frame::AppState& app, AddressRecord address, std::int32_t& position,
                 bool isNew) {
  return AddressFileWithReferences(app).WriteRecord(AsBytes(address), position, isNew);
}

int ReadAddress(frame::AppState& app, AddressRecord& address, std::int32_t position) {
  return AddressFile(app).ReadRecordAt(AsBytes(address), position);
}

bool MatchAddress(const AddressRecord& criteria, const AddressRecord& address) {
  if (!MatchCriterion(GetText(criteria.name1), GetText(address.name1)) ||
      !MatchCriterion(GetText(criteria.street), GetText(address.street)) ||
      !MatchCriterion(GetText(criteria.town), GetText(address.town)) ||
      !MatchCriterion(GetText(criteria.remark), GetText(address.remark)) ||
      !MatchCriterion(GetText(criteria.name2), GetText(address.name2)) ||
      !MatchCriterion(GetText(criteria.name3), GetText(address.name3)))
    return false;
  std::string_view wanted = GetText(criteria.customerNumber);
  return wanted.empty() || WholeNumber(wanted) == WholeNumber(GetText(address.customerNumber));
}

int ScanAddresses(frame::AppState& app, const AddressRecord& criteria, std::int32_t& position,
                  bool forward) {
  return AddressFile(app).ScanRecords(
      AsBytes(criteria),
      [&criteria](std::span<const std::uint8_t> record) {
        AddressRecord address;
        std::memcpy(&address, record.data(), sizeof address);
        return MatchAddress(criteria, address);
      },
      position, forward);
}

int SecondNameExists(frame::AppState& app, const AddressRecord& address, bool isNew) {
  return AddressFile(app).KeyInUse(AsBytes(address), isNew);
}

int MakeCustomerNumberUnique(frame::AppState& app, AddressRecord& address) {
  frame::WaitCursor wait(app.ui);
  // Customer number and name line 2 of every address, in index order.
  std::vector<std::pair<std::string, std::string>> known;
  {
    platform::File index = OpenData(app, kAddressIndexName, Access::Read, Share::DenyWrite);
    if (!index) return 0;
    platform::File data = OpenData(app, kAddressDataName, Access::Read, Share::DenyWrite);
    if (!data) return 0;
    std::int32_t last = -1;
    if (!ReadLastIndex(kAddressLayout, index, last)) return -1;
    AddressIndexEntry entry;
    AddressRecord other;
    for (std::int32_t i = 0; i <= last; ++i) {
      if (!index.readExact(&entry, sizeof entry)) return -1;
      std::int32_t length = ReadFramedRecord(data, entry.offset, AsBytes(other), true);
      if (length == kReadFailed) return -1;
      if (length < 0) continue;
      known.emplace_back(std::string(GetText(other.customerNumber)), std::string(GetText(other.name2)));
    }
  }
  const std::string_view name2 = GetText(address.name2);
  for (std::size_t i = 0; i < known.size(); ++i) {
    std::string_view number = GetText(address.customerNumber);
    if (CompareKeys(known[i].first, number) != 0) continue;
    if (known[i].second == name2) continue;  // the address itself
    long value = WholeNumber(number);
    char raised[32];
    int length = std::snprintf(raised, sizeof raised, "%ld", value + 1);
    // A number that no longer fits its field cannot be raised further.
    if (value <= 0 || length >= static_cast<int>(sizeof address.customerNumber)) return 1;
    SetText(address.customerNumber, raised);
    i = static_cast<std::size_t>(-1);  // start the walk again
  }
  return 0;
}

int RewriteOrderCustomers(frame::AppState& app, std::uint32_t oldOffset,
                          std::uint32_t newOffset, bool* changed) {
  if (!DataFileExists(app, kOrderIndexName)) return 1;
  platform::File index = OpenData(app, kOrderIndexName, Access::ReadWrite, Share::Exclusive);
  if (!index) return 0;
  platform::File data;
  // Every entry up to the end of the file, also the stale ones behind the
  // count: a later insert may bring them back into the index.
  std::int64_t size = index.size();
  std::int64_t entries = size < 2 ? 0 : (size - 2) / static_cast<std::int64_t>(sizeof(OrderIndexEntry));
  OrderIndexEntry entry;
  for (std::int64_t i = 0; i < entries; ++i) {
    const std::uint64_t at = 2 + static_cast<std::uint64_t>(i) * sizeof entry;
    if (!index.seek(at) || !index.readExact(&entry, sizeof entry)) return 0;
    if (entry.customerRef != oldOffset) continue;
    if (!data) {
      data = OpenData(app, kOrderDataName, Access::ReadWrite, Share::Exclusive);
      if (!data) return 0;
    }
    // Only a head that really is this entry's order is touched: behind the
    // count, an entry may point at bytes that a later order has reused.
    OrderHead head{};
    bool failed = false;
    bool headRead = ReadOrderHead(data, entry.offset, head, &failed);
    if (failed) return 0;
    const OrderHead oldHead = head;
    std::size_t length = std::min<std::size_t>(head.length, sizeof head);
    bool ownHead = headRead && length >= 6 &&
                   head.customerRef == static_cast<std::int32_t>(oldOffset) &&
                   head.orderNumber == entry.orderNumber;
    if (changed) *changed = true;
    if (ownHead) {
      head.customerRef = static_cast<std::int32_t>(newOffset);
      if (!data.seek(entry.offset) || !data.write(&head, length)) return 0;
    }
    entry.customerRef = newOffset;
    if (!index.seek(at) || !index.write(&entry, sizeof entry)) {
      // Head and entry agree, or neither moved: the head goes back.
      if (ownHead && data.seek(entry.offset)) data.write(&oldHead, length);
      return 0;
    }
  }
  return 1;
}

}  // namespace store
