#include "orders/back_orders.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "core/decimal.h"
#include "core/figures.h"
#include "store/load_parameters.h"
#include "core/user_interface.h"
#include "core/dates.h"
#include "store/numbering.h"
#include "orders/order_math.h"
#include "store/data_file.h"
#include "store/indexed_file.h"
#include "store/order_file.h"
#include "store/order_framing.h"
#include "store/order_kinds.h"
#include "store/text_field.h"

namespace orders {

namespace {

using platform::Access;
using platform::Share;

// Lines match in everything from the length up to the order number.
constexpr std::size_t kComparedBytes = offsetof(store::OrderLine, orderNumber);

// An order as StoreOrder writes it: an 80-byte head and 402-byte lines, so
// that it can be rewritten in place with fewer lines.
struct StoredOrder {
  store::OrderHead head{};
  std::vector<store::OrderLine> lines = std::vector<store::OrderLine>(store::kOrderLineSlots);
};

bool ReadWhole(platform::File& data, std::uint32_t offset, StoredOrder& order) {
  const store::OrderHead& head = order.head;
  if (!store::ReadOrderHead(data, offset, order.head) || head.length != store::kOrderHeadSize ||
      reinterpret_cast<const char*>(&head)[store::kOrderDatePointOffset] != '.' ||
      head.lineCount < 0 || head.lineCount > static_cast<int>(store::kMaxOrderLines))
    return false;
  bool failed = false;
  if (store::ReadOrderLines(data, offset, head, order.lines, &failed) != head.lineCount || failed)
    return false;
  for (int i = 1; i <= head.lineCount; ++i)
    if (order.lines[i].length != store::kOrderLineSize) return false;
  return true;
}

std::vector<std::uint8_t> Bytes(const StoredOrder& order) {
  std::vector<std::uint8_t> bytes(store::kOrderHeadSize +
                                  order.head.lineCount * store::kOrderLineSize);
  std::memcpy(bytes.data(), &order.head, store::kOrderHeadSize);
  if (order.head.lineCount > 0)
    std::memcpy(bytes.data() + store::kOrderHeadSize, &order.lines[1],
                order.head.lineCount * store::kOrderLineSize);
  return bytes;
}

void ReportDamaged(frame::AppState& app, std::int32_t number) {
  if (app.ui)
    app.ui->message(frame::Format("Probleme mit Auftrag #%ld\nAuftrag kann nicht gelesen werden.",
                                  static_cast<long>(number)),
                    frame::Icon::Exclamation);
}

std::string EntryText(frame::FigureStyle style, std::int32_t number, const store::OrderLine& line) {
  return frame::Format("%ld %s %s %s %s", static_cast<long>(number),
                       frame::Quantity(style, line.quantity).c_str(),
                       std::string(store::GetText(line.unit)).c_str(),
                       std::string(store::GetText(line.articleNumber)).c_str(),
                       std::string(store::GetText(line.description1)).c_str());
}

// The index as it stands and the order file, open for reading.
bool OpenOrders(frame::AppState& app, store::IndexBlock& block, platform::File& data) {
  platform::File index =
      store::OpenData(app, store::kOrderIndexName, Access::Read, Share::DenyWrite);
  if (!index || !store::OrderFile(app).ReadIndex(index, block)) return false;
  index.close();
  data = store::OpenData(app, store::kOrderDataName, Access::Read, Share::DenyWrite);
  return static_cast<bool>(data);
}

// A source order before and after its confirmed lines were taken out.
struct SourceChange {
  std::int32_t number = 0;
  std::vector<std::uint8_t> before, after;
};

}  // namespace

int PrepareBackOrders(frame::AppState& app, BackOrderConfirmation& confirmation) {
  if (app.addresses.position < 0) return 0;
  store::OrderHead& head = confirmation.followUp;
  head = NewOrderHead(app);
  head.stored = 1;
  confirmation.entries.clear();
  store::IndexBlock block;
  platform::File data;
  if (!OpenOrders(app, block, data)) return 0;
  StoredOrder order;
  for (std::int32_t k = 0; k < block.count; ++k) {
    store::OrderIndexEntry entry;
    std::memcpy(&entry, block.entry(k), sizeof entry);
    if (static_cast<std::int32_t>(entry.customerRef) != head.customerRef) continue;
    if (!ReadWhole(data, entry.offset, order)) {
      ReportDamaged(app, entry.orderNumber);
      continue;
    }
    for (int i = 1; i <= order.head.lineCount; ++i) {
      store::OrderLine line = order.lines[i];
      if (!(line.flags & store::kLineBackOrder)) continue;
      if (confirmation.entries.size() >= store::kMaxOrderLines) return 1;
      BackOrderEntry listed;
      listed.text = "       " + EntryText(app.figures, entry.orderNumber, line);
      line.flags &= static_cast<std::uint16_t>(~store::kLineBackOrder);
      listed.line = line;
      listed.sourceOffset = entry.offset;
      listed.sourceNumber = entry.orderNumber;
      listed.sourceCurrency = order.head.currency;
      listed.sourcePriceKind = store::PriceKind(order.head.flags);
      confirmation.entries.push_back(listed);
    }
  }
  return 1;
}

int ConfirmBackOrders(frame::AppState& app, const BackOrderConfirmation& confirmation,
                      const std::vector<bool>& confirmed, std::string_view date) {
  std::vector<const BackOrderEntry*> chosen;
  for (std::size_t i = 0; i < confirmation.entries.size() && i < confirmed.size(); ++i)
    if (confirmed[i]) chosen.push_back(&confirmation.entries[i]);
  if (chosen.empty()) return 1;

  // Each source order without its confirmed lines, worked out first: one
  // back-order line taken out per confirmed line, from the last one up.
  std::map<std::uint32_t, SourceChange> sources;
  std::vector<const BackOrderEntry*> moved;
  {
    platform::File data =
        store::OpenData(app, store::kOrderDataName, Access::Read, Share::DenyWrite);
    if (!data) return 0;
    std::map<std::uint32_t, StoredOrder> orders;
    for (const BackOrderEntry* entry : chosen) {
      auto [it, isNew] = orders.try_emplace(entry->sourceOffset);
      StoredOrder& source = it->second;
      if (isNew && !ReadWhole(data, entry->sourceOffset, source)) {
        ReportDamaged(app, entry->sourceNumber);
        return 0;
      }
      if (isNew) sources[entry->sourceOffset] = {entry->sourceNumber, Bytes(source), {}};
      for (int i = source.head.lineCount; i >= 1; --i) {
        store::OrderLine candidate = source.lines[i];
        if (!(candidate.flags & store::kLineBackOrder)) continue;
        candidate.flags &= static_cast<std::uint16_t>(~store::kLineBackOrder);
        if (std::memcmp(&candidate, &entry->line, kComparedBytes) != 0) continue;
        source.lines.erase(source.lines.begin() + i);
        source.lines.emplace_back();
        --source.head.lineCount;
        moved.push_back(entry);
        break;
      }
    }
    for (auto& [offset, source] : orders) {
      source.head.flags &= static_cast<std::uint16_t>(~store::kOrderHasBackOrder);
      source.head.total = ComputeOrderTotal(source.head, source.lines, app.parameters);
      sources[offset].after = Bytes(source);
    }
  }
  if (moved.empty()) return 1;

  // The follow-up orders are stored before any line leaves its source, so
  // that a failure can never lose a line: one order per currency and price
  // kind, in the order the kinds first appear.
  const store::OrderHead keptOrder = app.order;
  const std::vector<store::OrderLine> keptLines = app.orderLines;
  const auto keptCursor = app.orders;
  std::vector<std::pair<std::uint8_t, std::uint16_t>> kinds;
  for (const BackOrderEntry* entry : moved) {
    const std::pair kind{entry->sourceCurrency, entry->sourcePriceKind};
    if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end()) kinds.push_back(kind);
  }
  std::vector<std::int32_t> followUps;
  auto removeFollowUps = [&] {
    for (std::int32_t number : followUps) {
      store::OrderHead criteria{};
      criteria.orderNumber = number;
      std::int32_t at = -1;
      if (store::FindOrder(app, criteria, at, true)) store::DeleteOrderEntry(app, at);
    }
  };
  auto restore = [&] {
    app.order = keptOrder;
    app.orderLines = keptLines;
    app.orders = keptCursor;
    return 0;
  };
  store::OrderHead head{};
  for (const auto& [currency, priceKind] : kinds) {
    head = confirmation.followUp;
    store::SetText(head.orderDate, date.substr(0, 10));
    head.currency = currency;
    head.flags = static_cast<std::uint16_t>(
        (head.flags & ~(store::kOrderPricesIncludeTax | store::kOrderGrossAsNet)) | priceKind);
    int count = 0;
    for (const BackOrderEntry* entry : moved)
      if (entry->sourceCurrency == currency && entry->sourcePriceKind == priceKind)
        app.orderLines[++count] = entry->line;
    head.lineCount = static_cast<std::int16_t>(count);
    head.total = ComputeOrderTotal(head, app.orderLines, app.parameters);
    std::int32_t position = -1;
    if (!store::StoreOrder(app, head, position, store::StoreMode::NewNumber)) {
      removeFollowUps();
      return restore();
    }
    followUps.push_back(std::int32_t{head.orderNumber});
  }

  bool written = true;
  {
    platform::File data =
        store::OpenData(app, store::kOrderDataName, Access::ReadWrite, Share::Exclusive);
    written = static_cast<bool>(data);
    std::vector<std::uint32_t> done;
    for (const auto& [offset, change] : sources) {
      // A source that another program changed since it was read is not
      // written over.
      std::vector<std::uint8_t> now(change.before.size());
      written = written && data.seek(offset) && data.readExact(now.data(), now.size()) &&
                now == change.before && data.seek(offset) &&
                data.write(change.after.data(), change.after.size());
      if (!written) break;
      done.push_back(offset);
    }
    if (!written && data)
      for (std::uint32_t offset : done)
        if (data.seek(offset))
          data.write(sources[offset].before.data(), sources[offset].before.size());
  }
  if (!written) {
    removeFollowUps();
    if (app.ui)
      app.ui->message("Die Nachlieferung konnte nicht gespeichert werden.", frame::Icon::Stop);
    return restore();
  }
  app.order = head;
  app.orderAddress = app.address;
  if (followUps.size() > 1 && app.ui) {
    std::string numbers;
    for (std::int32_t number : followUps)
      numbers += (numbers.empty() ? "" : ", ") + std::to_string(number);
    app.ui->message(frame::Format("Die Positionen haben verschiedene Währungen oder Preisarten "
                                  "(netto, brutto, brutto als netto).\nDie Nachlieferung steht "
                                  "daher in %d Aufträgen: %s.",
                                  static_cast<int>(followUps.size()), numbers.c_str()),
                    frame::Icon::Information);
  }
  return 1;
}

std::vector<std::string> BackOrdersOfArticle(frame::AppState& app, std::string_view articleNumber) {
  std::vector<std::string> entries;
  store::IndexBlock block;
  platform::File data;
  if (!OpenOrders(app, block, data)) return entries;
  StoredOrder order;
  for (std::int32_t k = 0; k < block.count; ++k) {
    store::OrderIndexEntry entry;
    std::memcpy(&entry, block.entry(k), sizeof entry);
    if (!ReadWhole(data, entry.offset, order) || !(order.head.flags & store::kOrderHasBackOrder))
      continue;
    for (int i = 1; i <= order.head.lineCount; ++i) {
      const store::OrderLine& line = order.lines[i];
      if ((line.flags & store::kLineBackOrder) &&
          store::GetText(line.articleNumber) == articleNumber)
        entries.push_back(EntryText(app.figures, entry.orderNumber, line));
    }
  }
  return entries;
}

}  // namespace orders
