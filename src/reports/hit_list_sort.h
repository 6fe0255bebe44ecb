// The sort of the hit lists and of the postcode list: an in-place
// quicksort over positions lo..hi whose pivot is the middle entry, copied
// before any swap. It is not stable, and the order it leaves equal keys in
// is part of the printed lists, so it is kept exactly as it is.
#ifndef BELVON_REPORTS_HIT_LIST_SORT_H
#define BELVON_REPORTS_HIT_LIST_SORT_H

#include <utility>
#include <vector>

namespace reports {

// `before(a, b)`: entry a comes before entry b.
template <typename Entry, typename Before>
void HitListSort(std::vector<Entry>& table, int lo, int hi, Before before) {
  for (;;) {
    int i = lo, j = hi;
    const Entry pivot = table[static_cast<std::size_t>((lo + hi) / 2)];
    do {
      while (before(table[static_cast<std::size_t>(i)], pivot)) ++i;
      while (before(pivot, table[static_cast<std::size_t>(j)])) --j;
      if (i <= j) {
        std::swap(table[static_cast<std::size_t>(i)], table[static_cast<std::size_t>(j)]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (lo < j) HitListSort(table, lo, j, before);
    if (i >= hi) return;
    lo = i;
  }
}

}  // namespace reports

#endif  // BELVON_REPORTS_HIT_LIST_SORT_H
