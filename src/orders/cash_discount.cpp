#include "orders/cash_discount.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace orders {

namespace {

using Wide = __int128;

// Floor division for a positive divisor.
Wide FloorDiv(Wide a, Wide b) {
  Wide q = a / b;
  if (a % b != 0 && a < 0) --q;
  return q;
}

}  // namespace

std::int64_t CashDiscountAmount(std::int64_t gross, int rate) {
  const Wide scaled = Wide{gross} * rate;
  const Wide magnitude = (scaled < 0 ? -scaled : scaled) + 500;
  const std::int64_t rounded = static_cast<std::int64_t>(magnitude / 1000);
  return scaled < 0 ? -rounded : rounded;
}

void ShareCashDiscount(std::span<std::int64_t> parts, std::int64_t discount) {
  Wide sum = 0;
  for (std::int64_t part : parts) sum += part;
  if (sum == 0 || discount == 0) return;
  // Worked with a positive sum; a credit note's parts are turned round.
  const int sign = sum < 0 ? -1 : 1;
  const Wide total = sum * sign;
  const Wide taken = Wide{discount} * sign;
  std::vector<Wide> remainder(parts.size());
  Wide handedOut = 0;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const Wide exact = taken * (Wide{parts[i]} * sign);
    const Wide share = FloorDiv(exact, total);
    remainder[i] = exact - share * total;
    handedOut += share;
    parts[i] -= static_cast<std::int64_t>(share * sign);
  }
  // The cut-off fractions add up to whole cents; they go one by one to the
  // parts with the largest fractions (the first of equal ones first).
  std::vector<std::size_t> order(parts.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return remainder[a] > remainder[b]; });
  const auto left = static_cast<std::size_t>(taken - handedOut);
  for (std::size_t k = 0; k < left; ++k) parts[order[k % parts.size()]] -= sign;
}

}  // namespace orders
