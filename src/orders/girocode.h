// The GiroCode of an invoice: the EPC QR code ("Quick Response Code:
// Guidelines to Enable Data Capture for the Initiation of a SEPA Credit
// Transfer", version 002) that a banking app reads to pay the amount due to
// our first account, and its QR matrix.
//
// The payload is twelve lines at most, separated by line feeds, with
// nothing after the last filled one:
//   BCD / 002 / 1 (UTF-8) / SCT / BIC (empty) / name (70 characters at most) /
//   IBAN / EUR123.45 / purpose (empty) / structured reference (empty) /
//   remittance text "Rechnung 126120001"
#ifndef BELVON_ORDERS_GIROCODE_H
#define BELVON_ORDERS_GIROCODE_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/einvoice_settings.h"
#include "store/order_record.h"
#include "store/parameter_record.h"

namespace orders {

// The longest name of the beneficiary and the largest amount a GiroCode
// carries.
inline constexpr std::size_t kGiroCodeNameMax = 70;
inline constexpr std::int64_t kGiroCodeCentsMax = 99999999999;

// The amount as the code writes it: "EUR" and the euros with a point and
// two decimals, no thousands separator ("EUR1234.50").
std::string GiroCodeAmount(std::int64_t cents);

// Whether a bank of the SEPA scheme keeps this account: a valid IBAN (check
// digits, remainder 1 modulo 97) of a SEPA country, of that country's length.
bool SepaIban(std::string_view iban);

// The payload of the order's code, empty when the invoice gets none: the
// setting is off, the order is no invoice in euros (its currency's symbol
// gives no "EUR"), nothing is due (a credit note, paid in full), the order
// has no number, or the master data have no company name or no valid IBAN 1.
std::string GiroCodePayload(const store::OrderHead& head, const store::ParameterRecord& p,
                            const einvoice::Settings& settings);

// A QR code's modules, row by row from the top, true for dark.
struct QrMatrix {
  int size = 0;
  std::vector<bool> dark;
  bool at(int x, int y) const { return dark[static_cast<std::size_t>(y) * size + x]; }
};

// The payload's bytes in byte mode, error correction level M; an empty
// matrix when they do not fit into a QR code.
QrMatrix EncodeQr(std::string_view bytes);

}  // namespace orders

#endif  // BELVON_ORDERS_GIROCODE_H
