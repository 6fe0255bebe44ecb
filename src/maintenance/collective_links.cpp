#include "maintenance/collective_links.h"

#include <cstdio>
#include <map>
#include <set>

#include "store/bytes.h"
#include "store/order_kinds.h"
#include "store/order_record.h"

namespace maintenance {

namespace {

struct Order {
  std::int32_t customerRef = 0;
  std::uint16_t flags = 0;
};

std::string Text(const char* format, long a, long b = 0) {
  char text[200];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

}  // namespace

void CheckCollectiveLinks(IndexImage& orders, FileWindow& orderData,
                          std::vector<std::string>& problems) {
  using store::Load;
  constexpr std::size_t kFlags = offsetof(store::OrderHead, flags);
  constexpr std::size_t kLineNumber = offsetof(store::OrderLine, orderNumber);
  std::map<std::int32_t, Order> byNumber;
  std::map<std::int32_t, std::set<std::int32_t>> named;  // collective -> orders it names
  for (std::int32_t i = 0; i < orders.count; ++i) {
    const std::uint32_t offset = orders.recordOffset(i);
    Order order;
    if (!orderData.read(offset + 2, &order.customerRef, 4) ||
        !orderData.read(offset + kFlags, &order.flags, 2))
      continue;
    const std::int32_t number = Load<std::int32_t>(orders.entry(i) + 4);
    byNumber[number] = order;
    if (!(order.flags & store::kOrderCollectiveInvoice)) continue;
    std::set<std::int32_t>& lines = named[number];
    ForEachLine(orderData, offset, kCurrentOrders, [&](std::uint64_t at, std::uint16_t length) {
      std::int32_t billed = 0;
      if (length >= kLineNumber + 4 && orderData.read(at + kLineNumber, &billed, 4))
        lines.insert(billed);
    });
  }
  std::map<std::int32_t, int> billedBy;
  for (const auto& [collective, numbers] : named)
    for (std::int32_t number : numbers) {
      ++billedBy[number];
      auto found = byNumber.find(number);
      if (found != byNumber.end() &&
          found->second.customerRef == byNumber[collective].customerRef &&
          (found->second.flags & store::kOrderCollectivelyBilled))
        continue;
      problems.push_back(Text("Sammelrechnung Nr: %8ld nennt Auftrag %ld, der nicht als mit "
                              "ihr berechnet vermerkt ist.",
                              collective, number));
    }
  for (const auto& [number, order] : byNumber) {
    if (!(order.flags & store::kOrderCollectivelyBilled) || billedBy[number] == 1) continue;
    problems.push_back(Text(billedBy[number] == 0
                                ? "Auftrag Nr: %8ld ist als mit einer Sammelrechnung berechnet "
                                  "vermerkt, aber keine Sammelrechnung nennt ihn."
                                : "Auftrag Nr: %8ld wird von mehreren Sammelrechnungen berechnet.",
                            number));
  }
}

}  // namespace maintenance
