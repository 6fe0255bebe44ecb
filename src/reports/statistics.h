// The statistics over the orders of a date range, each on one page: the 40
// articles that earned most (job 6), the 40 customers with the highest
// turnover (job 7) and turnover and profit per month as a bar chart (job 12).
#ifndef BELVON_REPORTS_STATISTICS_H
#define BELVON_REPORTS_STATISTICS_H

#include <cstdint>
#include <string>

#include "printing/page_renderer.h"

namespace reports {

inline constexpr int kJobArticleHitList = 6;
inline constexpr int kJobCustomerHitList = 7;
inline constexpr int kJobTurnoverGraph = 12;

inline constexpr const char* kOutOfMemory = "Zu wenig Speicher für diese Operation !";

class ArticleHitListRenderer : public printing::PageRenderer {
 public:
  printing::RenderOutcome render(printing::Canvas& canvas, const printing::PageGeometry& geometry,
                                 printing::RenderContext& context) override;
};

class CustomerHitListRenderer : public printing::PageRenderer {
 public:
  printing::RenderOutcome render(printing::Canvas& canvas, const printing::PageGeometry& geometry,
                                 printing::RenderContext& context) override;
};

class TurnoverGraphRenderer : public printing::PageRenderer {
 public:
  printing::RenderOutcome render(printing::Canvas& canvas, const printing::PageGeometry& geometry,
                                 printing::RenderContext& context) override;
};

// The grid of the graph for its greatest monthly turnover: step g = 10 to
// the power of the whole part of log10(top) (top at least 100), in cents,
// and its height gy = g x 1000 / top above the base line.
struct GraphGrid {
  std::int64_t top = 100;
  std::int64_t step = 100;
  int height = 1000;
};
GraphGrid TurnoverGrid(std::int64_t greatestTurnover);

// The range of the UMSATZ dialog from "mm.yyyy" texts: "01." + from and
// "31." + to, each of at most the first 7 characters.
std::string MonthRangeFrom(const std::string& typed);
std::string MonthRangeTo(const std::string& typed);

}  // namespace reports

#endif  // BELVON_REPORTS_STATISTICS_H
