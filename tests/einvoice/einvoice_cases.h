// Invoices of many kinds, each as the order and settings of a data
// directory whose master data the e-invoice rules accept: the cases the
// electronic invoice and the PDF invoice are checked with.
#ifndef BELVON_TESTS_EINVOICE_EINVOICE_CASES_H
#define BELVON_TESTS_EINVOICE_EINVOICE_CASES_H

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "einvoice/einvoice_seller.h"
#include "orders/order_math.h"
#include "platform/cp1252.h"
#include "store/app_state.h"
#include "store/einvoice_settings.h"
#include "store/order_kinds.h"
#include "store/text_field.h"

namespace einvoicetest {

using einvoice::Exemption;
using Tweak = std::function<void(frame::AppState&, einvoice::Settings&)>;

struct Line {
  double quantity;
  std::int32_t price;
  std::int16_t taxCode = store::kTaxCodeRate2;
  std::int16_t discount = 0;
  const char* unit = "Stk";
  const char* text = "Fichtenbrett";
  std::uint16_t flags = 0;
};

struct Case {
  const char* name;
  std::vector<Line> lines;
  Tweak tweak;
  std::uint16_t orderFlags = 0;
  double paidPart = 0;  // of the total
  const char* currency = "EUR";  // the code the file states
};

constexpr std::int16_t kNone = store::kTaxCodeNone, kFirst = store::kTaxCodeRate1;

inline Tweak Exempt(Exemption e, const char* country = "DE") {
  return [=](frame::AppState&, einvoice::Settings& s) { s.exemption = e, s.buyerCountry = country; };
}

inline const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"beide-saetze", {{2, 1050}, {3, 199, kFirst}, {1.5, 2000, kFirst, 0, "kg"}}},
      {"kleinunternehmer", {{1, 4500, kNone, 0, "Std"}, {1, 9900, kNone, 0, "pauschal"}},
       [](frame::AppState& app, einvoice::Settings& s) {
         store::SetText(app.parameters.vatId, "");
         s.exemption = Exemption::SmallBusiness;
       }},
      {"reverse-charge", {{10, 5000, kNone, 0, "m²"}, {1, 1000}}, Exempt(Exemption::ReverseCharge)},
      {"innergemeinschaftlich", {{4, 2599, kNone, 50, "m"}}, Exempt(Exemption::IntraCommunity, "AT")},
      {"ausfuhr", {{2, 12000, kNone, 0, "l"}}, Exempt(Exemption::Export, "CH")},
      {"nicht-steuerbar", {{1, 30000, kNone, 0, "h"}}, Exempt(Exemption::NotTaxable)},
      {"rabatte", {{3, 199, kFirst, 100}, {7, 333, store::kTaxCodeRate2, 125}, {1, 1, kFirst, 500}}},
      {"brutto", {{3, 1190, store::kTaxCodeRate2, 100}, {1, 107, kFirst}, {2, 999, kNone}},
       Exempt(Exemption::SmallBusiness), store::kOrderPricesIncludeTax},
      {"brutto-als-netto", {{1, 12500, kFirst}, {3, 333}},
       {}, store::kOrderPricesIncludeTax | store::kOrderGrossAsNet},
      {"gutschrift", {{-2, 1050}, {-1, 500, kFirst, 100}}},
      {"sammelrechnung", {{2, 1050}, {3, 199, kFirst, 100}, {1, 500}},
       [](frame::AppState& app, einvoice::Settings&) {
         // Each line names the delivery note it came from.
         for (int i = 1; i <= 3; ++i) app.orderLines[i].orderNumber = i < 3 ? 1261100003 : 1261100007;
       },
       store::kOrderCollectiveInvoice},
      {"bezahlt", {{1, 10000}},  // at the cash desk: no terms, no cash discount offered
       [](frame::AppState& app, einvoice::Settings&) {
         app.order.cashDiscount = 20, app.order.cashDiscountPeriod = 8;
       },
       0, 1.0},
      {"teilbezahlt", {{1, 10000}, {1, 2000, kFirst}}, {}, 0, 0.4},
      {"skonto", {{1, 25000}},
       [](frame::AppState& app, einvoice::Settings&) {
         app.order.cashDiscount = 25, app.order.cashDiscountPeriod = 8, app.order.paymentPeriod = 30;
       }},
      {"hundert-zeilen", {},
       [](frame::AppState& app, einvoice::Settings&) {
         static const char* units[] = {"Stk", "m", "kg", "l", "Std", "m²", "pauschal", "Karton"};
         for (int i = 1; i <= 100; ++i) {
           store::OrderLine& l = app.orderLines[i];
           l = {}, l.quantity = i % 7 + 0.25 * (i % 3), l.salePrice = 37 * i + 1;
           l.taxCode = i % 3 == 0 ? kFirst : store::kTaxCodeRate2, l.discount = i % 4 * 25;
           store::SetText(l.unit, units[i % 8]), store::SetText(l.description1, "Teil");
         }
         app.orderLines[50].flags = store::kLineBackOrder;  // left out, as on paper
         app.order.lineCount = 100;
       }},
      {"sonderzeichen", {{1, 4200, store::kTaxCodeRate2, 0, "Stk", "Tür & Tor <Eiche> \"groß\""}},
       [](frame::AppState& app, einvoice::Settings&) {
         store::SetText(app.orderLines[1].longText, platform::Utf8ToCp1252("Maße: 2\x01m\r\nÖl & Wachs"));
         store::SetText(app.address.name2, platform::Utf8ToCp1252("Müller & Söhne <KG>"));
       }},
      // Currency symbols that are no ISO 4217 code: a common one, one the
      // settings give a code.
      {"franken", {{1.009, 500}, {0.285, 100, kFirst}},
       [](frame::AppState& app, einvoice::Settings&) { store::SetText(app.parameters.currencySymbol1, "SFR"); },
       0, 0, "CHF"},
      {"pfund", {{2.01, 50}},
       [](frame::AppState& app, einvoice::Settings& s) {
         store::SetText(app.parameters.currencySymbol1, "Pfd"), s.currencyCodes = "SFR:CHF; Pfd : gbp";
       },
       0, 0, "GBP"},
      {"ohne-ustid", {{1, 999}, {0, 0, kNone, 0, "", "Hinweis ohne Preis"}},
       [](frame::AppState& app, einvoice::Settings& s) {
         store::SetText(app.address.vatId, "");
         s.buyerReference = einvoice::BuyerReference::OrderNumber;
         s.serviceDate = einvoice::ServiceDate::OrderDate;
       }},
  };
  return cases;
}

// A master data set the rules accept, and a customer with VAT ID and e-mail.
inline void Prepare(frame::AppState& app, const Case& c, int number) {
  app.parameters = {}, app.address = {};
  Complete(app.parameters, app.address);
  app.parameters.printPaymentTerms = 1;
  store::SetText(app.address.street, "Lindenallee 3"), store::SetText(app.address.town, "D-34119 Kassel");
  store::SetText(app.address.vatId, "ATU12345678");
  app.order = {};
  app.order.orderNumber = number;
  app.order.flags = c.orderFlags | store::kOrderInvoicePrinted;
  app.order.paymentPeriod = 14;
  store::SetText(app.order.orderDate, "01.12.2026"), store::SetText(app.order.invoiceDate, "06.12.2026");
  app.order.lineCount = static_cast<std::int16_t>(c.lines.size());
  for (std::size_t i = 0; i < c.lines.size(); ++i) {
    store::OrderLine& l = app.orderLines[i + 1];
    const Line& in = c.lines[i];
    l = {}, l.quantity = in.quantity, l.salePrice = in.price, l.taxCode = in.taxCode;
    l.discount = in.discount, l.flags = in.flags;
    store::SetText(l.unit, platform::Utf8ToCp1252(in.unit));
    store::SetText(l.description1, platform::Utf8ToCp1252(in.text));
    store::SetText(l.articleNumber, "A-" + std::to_string(i + 1));
  }
  einvoice::Settings settings;
  settings.exemption = Exemption::SmallBusiness;  // chosen, as the tax-free cases need
  settings.taxNumber = "12/345/67890";
  if (c.tweak) c.tweak(app, settings);
  einvoice::SaveSettings(app.dataDirectory, settings);
  app.order.total = orders::ComputeOrderTotal(app.order, app.orderLines, app.parameters);
  app.order.paid = static_cast<std::int32_t>(std::lround(app.order.total * c.paidPart));
}

}  // namespace einvoicetest

#endif  // BELVON_TESTS_EINVOICE_EINVOICE_CASES_H
