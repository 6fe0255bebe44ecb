// The company's and the recipient's identity on every letter-like page:
// the letterhead with its bar and logo, the three-column footer, the
// window-envelope sender line, the fold marks and the address block.
#ifndef BELVON_PRINTING_LETTERHEAD_H
#define BELVON_PRINTING_LETTERHEAD_H

#include <string_view>

#include "printing/canvas.h"
#include "printing/page_renderer.h"
#include "store/address_record.h"

namespace printing {

// A font kept in a letterhead font slot ("family,points,weight,italic"),
// in logical units; an empty or damaged slot gives `builtIn`.
Font LetterheadFont(std::string_view slot, const Font& builtIn);

// The built-in letterhead fonts for empty slots.
Font DefaultLetterheadName1Font();
Font DefaultLetterheadNamesFont();

// The letterhead (first pages only, `continuation` false) and the footer
// (every page). `pageHeight` is the height the caller counts as the bottom.
void Letterhead(Canvas& canvas, RenderContext& context, int logicalWidth, int pageHeight,
                bool continuation);

// Where the footer of a page of this height begins (the top of its
// headings); the page height itself when no footer is printed. Body text
// ends above it.
int FooterTop(const store::ParameterRecord& p, int pageHeight);

// The salutation text of an address ("Firma", "Herrn", "Frau", "An"), empty
// for any other code.
std::string_view SalutationText(const store::AddressRecord& address);

// Sender line, fold marks, salutation and address. Delivery notes (job 2)
// of a customer with a delivery address print that one instead.
void RecipientBlock(Canvas& canvas, RenderContext& context, int logicalWidth, int pageHeight,
                    const store::AddressRecord& address);

}  // namespace printing

#endif  // BELVON_PRINTING_LETTERHEAD_H
