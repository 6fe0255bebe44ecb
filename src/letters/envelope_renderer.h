// Jobs 21 and 24: the C6 envelope and the parcel label of the current
// address, the company as sender. Both address the customer's delivery
// address when there is one (delivery line 2 filled), else the invoice
// address. They ignore the print offsets; the preview outlines a 160 x 104 mm
// envelope, whatever paper the printer holds.
#ifndef BELVON_LETTERS_ENVELOPE_RENDERER_H
#define BELVON_LETTERS_ENVELOPE_RENDERER_H

#include <array>
#include <string>

#include "printing/page_renderer.h"
#include "store/address_record.h"

namespace letters {

inline constexpr int kJobEnvelope = 21;
inline constexpr int kJobParcelLabel = 24;

// The five lines the customer is addressed at (name lines 1 to 3, street,
// postcode and town), Windows-1252.
std::array<std::string, 5> ShippingAddress(const store::AddressRecord& address);

class EnvelopeRenderer : public printing::PageRenderer {
 public:
  printing::RenderOutcome render(printing::Canvas& canvas, const printing::PageGeometry& geometry,
                                 printing::RenderContext& context) override;
};

class ParcelLabelRenderer : public printing::PageRenderer {
 public:
  printing::RenderOutcome render(printing::Canvas& canvas, const printing::PageGeometry& geometry,
                                 printing::RenderContext& context) override;
};

}  // namespace letters

#endif  // BELVON_LETTERS_ENVELOPE_RENDERER_H
