// The readable rendering of a received e-invoice, in the program's style:
// supplier and recipient, number and dates, the lines, the VAT breakdown,
// the totals, how to pay, notes, the names of attached documents, and every
// finding of the checks beside the figure it is about.
#ifndef BELVON_RECEIVE_RECEIVED_INVOICE_RENDERER_H
#define BELVON_RECEIVE_RECEIVED_INVOICE_RENDERER_H

#include <optional>
#include <string>
#include <vector>

#include "printing/page_renderer.h"
#include "receive/incoming_file.h"

namespace receive {

// The print job of a received invoice; JobInputs::incomingId names it.
inline constexpr int kJobReceivedInvoice = 25;

// What the rendering shows.
struct ShownInvoice {
  OpenedInvoice opened;
  std::vector<std::string> findings;  // all of them, as kept with the entry
  std::string source;                 // the name the file came with
  std::string state;                  // "offen", "bezahlt am ..."; empty for a file not kept
};

// The entry `id` of the inbox, opened and checked; not ok (with the
// message) when it cannot be.
bool ShowKept(frame::AppState& app, int id, ShownInvoice& shown, std::string& problem);

class ReceivedInvoiceRenderer : public printing::PageRenderer {
 public:
  // Draws the inbox entry the session names.
  ReceivedInvoiceRenderer() = default;
  // Draws this invoice.
  explicit ReceivedInvoiceRenderer(ShownInvoice shown) : shown_(std::move(shown)) {}
  printing::RenderOutcome render(printing::Canvas& canvas, const printing::PageGeometry& geometry,
                                 printing::RenderContext& context) override;

 private:
  std::optional<ShownInvoice> shown_;
};

// "Stk" for C62, "Std" for HUR, ...: the German unit of a UN/ECE code; the
// code itself when it is none of the common ones.
std::string UnitName(const std::string& code);

// "19 %", "steuerfrei", "Reverse-Charge", ...: a VAT category with its rate.
std::string CategoryName(const std::string& category, const Amount& rate, bool german);

}  // namespace receive

#endif  // BELVON_RECEIVE_RECEIVED_INVOICE_RENDERER_H
