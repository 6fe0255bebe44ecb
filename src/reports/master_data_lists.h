// The printed lists of the master data: order proposals (job 13), the
// article selection with selling (15) or purchase prices (17), and the
// address selection by name (14) or by postcode (18). The selections are
// the criteria of the article pane and of the address pane.
#ifndef BELVON_REPORTS_MASTER_DATA_LISTS_H
#define BELVON_REPORTS_MASTER_DATA_LISTS_H

#include <string>

#include "printing/page_renderer.h"
#include "store/address_record.h"

namespace reports {

inline constexpr int kJobOrderProposals = 13;
inline constexpr int kJobAddressesByName = 14;
inline constexpr int kJobArticlesSale = 15;
inline constexpr int kJobArticlesPurchase = 17;
inline constexpr int kJobAddressesByPostcode = 18;

// Jobs 13, 15 and 17.
class ArticleListRenderer : public printing::PageRenderer {
 public:
  explicit ArticleListRenderer(int job) : job_(job) {}
  printing::RenderOutcome render(printing::Canvas& canvas, const printing::PageGeometry& geometry,
                                 printing::RenderContext& context) override;

 private:
  int job_;
};

// Jobs 14 and 18.
class AddressListRenderer : public printing::PageRenderer {
 public:
  explicit AddressListRenderer(int job) : job_(job) {}
  printing::RenderOutcome render(printing::Canvas& canvas, const printing::PageGeometry& geometry,
                                 printing::RenderContext& context) override;

 private:
  int job_;
};

// "Firma", "Herrn", "Frau", "An" by the low four bits; nothing for others.
std::string SalutationText(const store::AddressRecord& address);

}  // namespace reports

#endif  // BELVON_REPORTS_MASTER_DATA_LISTS_H
