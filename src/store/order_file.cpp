#include "store/order_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <vector>

#include "core/user_interface.h"
#include "store/numbering.h"
#include "store/bytes.h"
#include "store/data_file.h"
#include "store/indexed_file.h"
#include "store/order_framing.h"
#include "store/parameter_record.h"
#include "store/record_append.h"

namespace store {

namespace {

using platform::Access;
using platform::Share;

// The counter as the parameter file holds it. A parameter file that was
// never saved holds no number yet: the one in memory counts. One that holds
// it but cannot be read ends the store: a guessed counter could hand out a
// number twice.
bool ReadCounter(frame::AppState& app, platform::File& par, std::uint32_t& counter) {
  std::uint8_t bytes[4];
  if (par.size() < 4) {
    counter = app.nextOrderNumber;
    return par.size() >= 0;
  }
  if (!par.seek(0) || !par.readExact(bytes, 4)) return false;
  counter = Load<std::uint32_t>(bytes);
  return true;
}

bool WriteCounter(platform::File& par, std::uint32_t counter) {
  std::uint8_t bytes[4];
  Store<std::uint32_t>(bytes, counter);
  return par.seek(0) && par.write(bytes, 4);
}

// The next order number as the parameter file holds it, raised by one once
// the new order has drawn it. `drawn` is the counter the file held before.
bool DrawOrderNumber(frame::AppState& app, OrderHead& head, std::uint32_t& drawn) {
  platform::File par = OpenData(app, kParameterFileName, Access::ReadWrite, Share::Exclusive);
  if (!par) return false;
  std::uint32_t counter = 0;
  if (!ReadCounter(app, par, counter)) return false;
  drawn = counter;
  counter = orders::ApplyMonthRule(app, counter);
  head.orderNumber = static_cast<std::int32_t>(counter);
  if (!WriteCounter(par, counter + 1)) return false;
  // The empty file of a first start that never saved its parameters would
  // now read as the older layout: give it the whole record behind the number.
  if (par.size() < static_cast<std::int64_t>(kParameterFileSize)) {
    if (!par.write(&app.parameters, sizeof app.parameters)) return false;
    app.storedParameters = app.parameters;
  }
  app.nextOrderNumber = counter + 1;
  return true;
}

// A store that fails after drawing its number gives the number back, so
// that the counter shows no gap. The order index is still held exclusively,
// so no other copy drew a number meanwhile.
void ReturnOrderNumber(frame::AppState& app, std::uint32_t drawn) {
  platform::File par = OpenData(app, kParameterFileName, Access::ReadWrite, Share::Exclusive);
  if (par && WriteCounter(par, drawn)) app.nextOrderNumber = drawn;
}

// Storing an order again under its own number draws nothing, but still
// takes the counter from the parameter file: another copy of the program may
// have drawn numbers since, and a later SaveParameters writes the counter in
// memory back over the file, which must never hand out a number twice.
void RefreshOrderNumber(frame::AppState& app) {
  platform::File par = OpenData(app, kParameterFileName, Access::ReadWrite, Share::Exclusive);
  std::uint32_t counter = 0;
  if (par && par.size() >= 4 && ReadCounter(app, par, counter)) app.nextOrderNumber = counter;
}

// A head that does not reach the date point, or whose line count does not
// fit the line table, is damaged: nothing of it can be trusted.
bool HeadIsSound(const OrderHead& head) {
  const std::uint16_t length = head.length;
  const std::int16_t lines = head.lineCount;
  return length > kOrderDatePointOffset &&
         reinterpret_cast<const char*>(&head)[kOrderDatePointOffset] == '.' && lines >= 0 &&
         lines <= static_cast<std::int16_t>(kMaxOrderLines);
}

int RefuseDamagedOrder(frame::AppState& app, std::int32_t orderNumber) {
  char text[120];
  std::snprintf(text, sizeof text, "Probleme mit Auftrag #%ld\nAuftrag kann nicht gelesen werden.",
                static_cast<long>(orderNumber));
  if (app.ui) app.ui->message(text, frame::Icon::Exclamation);
  return 0;
}

}  // namespace

bool PeekOrderNumber(frame::AppState& app, std::int32_t& number, std::uint32_t& counter) {
  platform::File par = OpenData(app, kParameterFileName, Access::Read, Share::DenyWrite);
  if (!par || !ReadCounter(app, par, counter)) return false;
  number = static_cast<std::int32_t>(orders::ApplyMonthRule(app, counter));
  return true;
}

bool DrawNextOrderNumber(frame::AppState& app, OrderHead& head, std::uint32_t& drawn) {
  return DrawOrderNumber(app, head, drawn);
}

bool GiveBackOrderNumber(frame::AppState& app, std::int32_t number, std::uint32_t drawn) {
  platform::File par = OpenData(app, kParameterFileName, Access::ReadWrite, Share::Exclusive);
  std::uint32_t counter = 0;
  if (!par || !ReadCounter(app, par, counter) ||
      counter != static_cast<std::uint32_t>(number) + 1 || !WriteCounter(par, drawn))
    return false;
  app.nextOrderNumber = drawn;
  return true;
}

int DeleteOrderEntry(frame::AppState& app, std::int32_t& position) {
  return OrderFile(app).DeleteIndexEntry(position);
}

int ReadOrder(frame::AppState& app, OrderHead& head, std::int32_t position) {
  {
    platform::File index = OpenData(app, kOrderIndexName, Access::Read, Share::DenyWrite);
    if (!index) return 0;
    std::int32_t last = -1;
    if (!ReadLastIndex(kOrderLayout, index, last)) return 0;
    app.orders.lastIndex = last;
    if (position < 0 || position > last) return 0;
    if (!index.seek(kOrderLayout.headerSize + static_cast<std::uint64_t>(position) *
                                                   sizeof(OrderIndexEntry)) ||
        !index.readExact(&app.orders.entry, sizeof app.orders.entry))
      return 0;
  }
  const OrderIndexEntry entry = app.orders.entry;
  {
    platform::File data = OpenData(app, kOrderDataName, Access::Read, Share::DenyWrite);
    if (!data) return 0;
    // Head and lines are read into copies, so that a refused order never
    // leaves the caller with a mix of two orders, which its next save would
    // store.
    OrderHead read{};
    if (!ReadOrderHead(data, entry.offset, read) || !HeadIsSound(read))
      return RefuseDamagedOrder(app, entry.orderNumber);
    if (read.customerRef == kNoCustomer) return 0;
    // An order is read whole or not at all: lines missing behind a cut would
    // be shown with the lines another order left in the table, and lost by
    // the next save of this one.
    const auto count = static_cast<std::size_t>(read.lineCount);
    std::vector<OrderLine> lines(count + 1);
    bool failed = false;
    const int whole = ReadOrderLines(data, entry.offset, read, lines, &failed);
    if (failed || whole != read.lineCount || app.orderLines.size() <= count)
      return RefuseDamagedOrder(app, entry.orderNumber);
    std::copy(lines.begin() + 1, lines.end(), app.orderLines.begin() + 1);
    head = read;
  }
  if (static_cast<std::uint32_t>(head.customerRef) == app.addresses.entry.offset) return 1;
  platform::File addresses = OpenData(app, kAddressDataName, Access::Read, Share::DenyWrite);
  if (!addresses) return 0;
  std::span<std::uint8_t> bytes(reinterpret_cast<std::uint8_t*>(&app.orderAddress),
                                sizeof app.orderAddress);
  std::memset(bytes.data(), 0, bytes.size());
  ReadFramedRecord(addresses, static_cast<std::uint32_t>(head.customerRef), bytes, false);
  return 1;
}

int FindOrder(frame::AppState& app, const OrderHead& criteria, std::int32_t& position,
              bool forward) {
  frame::WaitCursor wait(app.ui);
  IndexedFile file = OrderFile(app);
  IndexBlock block;
  {
    platform::File index = OpenData(app, kOrderIndexName, Access::Read, Share::DenyWrite);
    if (!index || !file.ReadIndex(index, block)) return 0;
  }
  const std::int32_t last = block.count - 1;
  if (position > last + 1) {
    position = 0;
    return 1;
  }
  const std::int32_t step = forward ? 1 : -1;
  for (std::int64_t i = std::int64_t{position} + step; i >= 0 && i <= last; i += step) {
    auto at = static_cast<std::int32_t>(i);
    OrderIndexEntry entry;
    std::memcpy(&entry, block.entry(at), sizeof entry);
    bool hit = criteria.orderNumber >= 1
                   ? entry.orderNumber == criteria.orderNumber
                   : static_cast<std::int32_t>(entry.customerRef) == criteria.customerRef;
    if (hit) {
      position = at;
      return 1;
    }
  }
  return 0;
}

int ChangeOrderHead(frame::AppState& app, std::int32_t orderNumber,
                    const std::function<bool(OrderHead& head)>& change, OrderHead* changed) {
  IndexedFile file = OrderFile(app);
  platform::File index = OpenData(app, kOrderIndexName, Access::ReadWrite, Share::Exclusive);
  if (!index) return 0;
  IndexBlock block;
  if (!file.ReadIndex(index, block)) return 0;
  std::int32_t at = 0;
  while (at < block.count && block.orderNumber(at) != orderNumber) ++at;
  if (at == block.count) {
    char text[120];
    std::snprintf(text, sizeof text,
                  "Auftrag #%ld ist nicht mehr vorhanden.\nEs wurde nichts gespeichert.",
                  static_cast<long>(orderNumber));
    if (app.ui) app.ui->message(text, frame::Icon::Stop);
    return 0;
  }
  platform::File data = OpenData(app, kOrderDataName, Access::ReadWrite, Share::DenyWrite);
  if (!data) return 0;
  const std::uint32_t offset = block.recordOffset(at);
  OrderHead head{};
  bool failed = false;
  if (!ReadOrderHead(data, offset, head, &failed)) return failed ? 0 : RefuseDamagedOrder(app, orderNumber);
  if (!HeadIsSound(head) || head.orderNumber != orderNumber) return RefuseDamagedOrder(app, orderNumber);
  if (!change(head)) return 0;
  const std::size_t length = std::min<std::size_t>(head.length, kOrderHeadSize);
  if (!data.seek(offset) || !data.write(&head, length)) return 0;
  if (changed) *changed = head;
  app.orders.position = at;
  std::memcpy(&app.orders.entry, block.entry(at), sizeof app.orders.entry);
  return 1;
}

int StoreOrder(frame::AppState& app, OrderHead& head, std::int32_t& position, StoreMode mode) {
  const int lineCount = head.lineCount;
  if (lineCount < 0 || lineCount > static_cast<int>(kMaxOrderLines)) {
    if (app.ui)
      app.ui->message("Der Auftrag hat zu viele Positionen und kann nicht gespeichert werden.",
                      frame::Icon::Stop);
    return 0;
  }
  IndexedFile file = OrderFile(app);
  // The index stays exclusively ours for the whole store, so that two copies
  // of the program never draw the same number or the same record offset.
  platform::File index = OpenData(app, kOrderIndexName, Access::ReadWrite, Share::Exclusive);
  if (!index) return 0;
  IndexBlock block;
  if (!file.ReadIndex(index, block)) return 0;

  std::uint32_t offset = app.orders.entry.offset;
  bool drew = false;
  std::uint32_t drawn = 0;
  auto fail = [&] {
    if (drew) ReturnOrderNumber(app, drawn);
    return 0;
  };
  if (mode != StoreMode::Rewrite) {
    if (file.RefuseWhenFull(block)) return 0;
    if (mode == StoreMode::NewNumber) {
      if (!DrawOrderNumber(app, head, drawn)) return 0;
      drew = true;
    }
    if (mode == StoreMode::SameNumber) RefreshOrderNumber(app);
    for (int i = 1; i <= lineCount; ++i) app.orderLines[i].orderNumber = head.orderNumber;
    if (!file.NextRecordOffset(block, offset)) return fail();
  }

  // The record goes in before the index learns of it, head and lines in one
  // write, so that a failed write never leaves half an order in place.
  {
    platform::File data = OpenData(app, kOrderDataName, Access::ReadWrite, Share::DenyWrite);
    if (!data) return fail();
    if (mode == StoreMode::Rewrite) {
      // In place, an order may never grow over the record behind it.
      OrderHead stored{};
      bool failed = false;
      if (!ReadOrderHead(data, offset, stored, &failed) || stored.lineCount < lineCount) {
        if (app.ui && !failed)
          app.ui->message("Der Auftrag hat mehr Positionen als gespeichert und kann nicht an "
                          "seiner Stelle geschrieben werden.\nBitte erst speichern !",
                          frame::Icon::Stop);
        return 0;
      }
    }
    head.length = static_cast<std::uint16_t>(kOrderHeadSize);
    for (int i = 0; i <= lineCount; ++i)
      app.orderLines[i].length = static_cast<std::uint16_t>(kOrderLineSize);
    std::vector<std::uint8_t> bytes(kOrderHeadSize + static_cast<std::size_t>(lineCount) * kOrderLineSize);
    std::memcpy(bytes.data(), &head, kOrderHeadSize);
    if (lineCount > 0)
      std::memcpy(bytes.data() + kOrderHeadSize, &app.orderLines[1], bytes.size() - kOrderHeadSize);
    if (!WriteRecordBytes(data, offset, bytes.data(), bytes.size())) return fail();
  }
  if (mode == StoreMode::Rewrite) return 1;

  OrderIndexEntry newEntry{static_cast<std::uint32_t>(head.customerRef), head.orderNumber, offset};
  std::vector<std::uint8_t> entry(sizeof newEntry);
  std::memcpy(entry.data(), &newEntry, sizeof newEntry);
  // An order stored again under its number takes the place of its old
  // entry in the same replacement of the index: a copy killed on the way
  // leaves the old entry or the new one, never both or none.
  std::int32_t old = -1;
  for (std::int32_t i = 0; mode == StoreMode::SameNumber && i < block.count && old < 0; ++i)
    if (block.orderNumber(i) == head.orderNumber) old = i;
  std::int32_t p = 0;
  if (old >= 0 ? !file.ReplaceEntry(index, block, old, entry, p)
               : !file.InsertEntry(index, block, entry, p))
    return fail();
  position = p;
  app.orders.position = p;
  app.orders.entry = newEntry;
  return 1;
}

}  // namespace store
