#include "orders/order_search.h"

#include <cstring>
#include <span>
#include <unordered_map>

#include "core/decimal.h"
#include "core/figures.h"
#include "core/user_interface.h"
#include "store/address_file.h"
#include "store/data_file.h"
#include "store/indexed_file.h"
#include "store/order_framing.h"
#include "store/text_field.h"

namespace orders {

namespace {

using platform::Access;
using platform::Share;

// Upper case in Windows-1252: a-z and the accented small letters (ä, ö, ü,
// é ...; not ß and not the division sign) onto their capitals, and the four
// whose capitals lie elsewhere (š, œ, ž, ÿ).
std::string UpperCp1252(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'a' && u <= 'z') || (u >= 0xE0 && u <= 0xFE && u != 0xF7))
      c = static_cast<char>(u - 0x20);
    else if (u == 0x9A || u == 0x9C || u == 0x9E)
      c = static_cast<char>(u - 0x10);
    else if (u == 0xFF)
      c = static_cast<char>(0x9F);
  }
  return out;
}

std::string CurrencyName(const store::ParameterRecord& p, int currency) {
  const char* symbols[] = {p.currencySymbol1, p.currencySymbol2, p.currencySymbol3,
                           p.currencySymbol4};
  return std::string(store::GetText(symbols[currency >= 0 && currency < 4 ? currency : 0], 4));
}

}  // namespace

// The total of a hit; the point style keeps its old width of five.
std::string HitAmount(frame::FigureStyle style, std::int32_t cents) {
  std::string text = frame::Amount(style, cents / 100.0);
  if (style == frame::FigureStyle::Point && text.size() < 5) text.insert(0, 5 - text.size(), ' ');
  return text;
}

bool OrderNumberMatches(std::int32_t orderNumber, long typed) {
  if (typed < 1) return false;
  if (typed >= 1000) return orderNumber == typed;
  return orderNumber >= 0 && orderNumber % 1000 == typed;
}

OrderSearchResult SearchOrders(frame::AppState& app, long number, std::string_view name) {
  OrderSearchResult result;
  const std::string wanted = UpperCp1252(name);
  const bool byName = !wanted.empty();
  if (!byName && number < 1) return result;
  store::IndexBlock block;
  {
    platform::File index = store::OpenData(app, store::kOrderIndexName, Access::Read,
                                           Share::DenyWrite);
    if (!index || !store::OrderFile(app).ReadIndex(index, block)) {
      result.unreadable = true;
      return result;
    }
  }
  platform::File orders = store::OpenData(app, store::kOrderDataName, Access::Read,
                                          Share::DenyWrite);
  platform::File addresses;
  if (byName)
    addresses = store::OpenData(app, store::kAddressDataName, Access::Read, Share::DenyWrite);
  if (!orders || (byName && !addresses)) {
    result.unreadable = true;
    return result;
  }
  // Most customers have many orders: each address is read and compared once.
  std::unordered_map<std::int32_t, bool> customerMatches;
  auto customerMatch = [&](std::int32_t customerRef) {
    auto [at, fresh] = customerMatches.try_emplace(customerRef, false);
    if (fresh) {
      store::AddressRecord address{};
      std::span<std::uint8_t> bytes(reinterpret_cast<std::uint8_t*>(&address), sizeof address);
      if (store::ReadFramedRecord(addresses, static_cast<std::uint32_t>(customerRef), bytes,
                                  true) > 0)
        at->second = UpperCp1252(store::GetText(address.name2)).find(wanted) != std::string::npos;
    }
    return at->second;
  };

  if (app.ui) app.ui->beginProgress();
  for (std::int32_t k = 0; k < block.count; ++k) {
    if (app.ui && app.ui->progress(static_cast<int>((k + 1) * 100LL / block.count))) {
      result.stopped = true;
      break;
    }
    store::OrderIndexEntry entry;
    std::memcpy(&entry, block.entry(k), sizeof entry);
    if (!byName && !OrderNumberMatches(entry.orderNumber, number)) continue;
    store::OrderHead head{};
    if (!store::ReadOrderHead(orders, entry.offset, head)) continue;
    if (byName && (head.customerRef == store::kNoCustomer || !customerMatch(head.customerRef)))
      continue;
    if (!byName && static_cast<int>(result.hits.size()) == kOrderSearchLimit) {
      result.moreThanLimit = true;
      break;
    }
    result.hits.push_back({k, frame::Format("%ld, %s, %s %s", static_cast<long>(entry.orderNumber),
                                            std::string(store::GetText(head.orderDate)).c_str(),
                                            HitAmount(app.figures, head.total).c_str(),
                                            CurrencyName(app.parameters, head.currency).c_str())});
  }
  if (app.ui) app.ui->endProgress();
  return result;
}

std::string OrderSearchSummary(const OrderSearchResult& result) {
  if (result.moreThanLimit)
    return frame::Format("ACHTUNG! Mehr als %d Aufträge vorhanden", kOrderSearchLimit);
  return frame::Format("%d Aufträge gefunden", static_cast<int>(result.hits.size()));
}

bool SelectAddressAt(frame::AppState& app, std::int32_t offset) {
  if (offset == store::kNoCustomer) return false;
  store::IndexBlock block;
  {
    platform::File index = store::OpenData(app, store::kAddressIndexName, Access::Read,
                                           Share::DenyWrite);
    if (!index || !store::AddressFile(app).ReadIndex(index, block)) return false;
  }
  for (std::int32_t i = 0; i < block.count; ++i) {
    if (block.recordOffset(i) != static_cast<std::uint32_t>(offset)) continue;
    store::AddressRecord address{};
    if (!store::ReadAddress(app, address, i)) return false;
    app.address = address;
    app.addresses.position = i;
    return true;
  }
  return false;
}

}  // namespace orders
