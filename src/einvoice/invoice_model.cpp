#include "einvoice/invoice_model.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <span>

#include "store/leitweg_ids.h"
#include "store/field_rules.h"
#include "core/decimal.h"
#include "core/dates.h"
#include "orders/document_figures.h"
#include "orders/order_math.h"
#include "orders/payments.h"
#include "platform/cp1252.h"
#include "store/order_kinds.h"
#include "store/text_field.h"

namespace einvoice {

namespace {

// A text of a record, UTF-8, in a form XML can carry.
class Texts {
 public:
  template <std::size_t N>
  std::string operator()(const char (&field)[N]) {
    return clean(platform::Cp1252ToUtf8(store::GetText(field)));
  }
  std::string clean(const std::string& utf8) {
    bool replaced = false;
    std::string text = XmlText(utf8, replaced);
    replacedAny |= replaced;
    return text;
  }
  bool replacedAny = false;
};

// "dd.mm.yyyy" as yyyymmdd; empty for a text that names no date.
// Only a real calendar day from 1900 to 9999 is one: a damaged 29.02.2023
// or a due date in the year 10000 would make a date the rules reject.
std::string IsoDate(std::string_view text) {
  const orders::Date d = orders::ParseDate(orders::EnteredDate(text));
  if (d.month < 1) return {};
  return frame::Format("%04d%02d%02d", d.year, d.month, d.day);
}

std::string JoinNonEmpty(std::initializer_list<std::string> parts, const char* separator) {
  std::string out;
  for (const std::string& part : parts) {
    if (part.empty()) continue;
    if (!out.empty()) out += separator;
    out += part;
  }
  return out;
}

std::string CurrencyOf(const store::ParameterRecord& p, int index) {
  switch (index) {
    case 1: return platform::Cp1252ToUtf8(store::GetText(p.currencySymbol2));
    case 2: return platform::Cp1252ToUtf8(store::GetText(p.currencySymbol3));
    case 3: return platform::Cp1252ToUtf8(store::GetText(p.currencySymbol4));
    default: return platform::Cp1252ToUtf8(store::GetText(p.currencySymbol1));
  }
}

// Index of the tax class of a line: 0 no tax, 1 first rate, 2 second rate,
// -1 none (such a line counts in no sum).
int TaxClass(const store::OrderLine& line) {
  switch (line.taxCode) {
    case store::kTaxCodeNone: return 0;
    case store::kTaxCodeRate1: return 1;
    case store::kTaxCodeRate2: return 2;
    default: return -1;
  }
}

// The net amounts of the lines of a gross-price order: each line's gross
// net taken back to net, and what the rounding of single lines leaves
// against the class's net put on the class's largest line, so that the
// lines add up to the net the printed invoice states.
std::vector<std::int64_t> NetOfGrossLines(std::span<const store::OrderLine> lines,
                                          const std::vector<int>& classes,
                                          const orders::DocumentFigures& figures) {
  std::vector<std::int64_t> net(lines.size(), 0);
  for (int c = 0; c < 3; ++c) {
    std::int64_t sum = 0;
    std::size_t largest = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (classes[i] != c) continue;
      const std::int64_t gross = orders::LineNet(lines[i]);
      net[i] = c == 0 ? gross : orders::NetOfGross(gross, figures.rates[c - 1]);
      sum += net[i];
      if (largest == lines.size() || std::llabs(gross) > std::llabs(orders::LineNet(lines[largest])))
        largest = i;
    }
    const std::int64_t target = c == 0 ? figures.sums[0] : figures.netOfClass(c - 1);
    if (largest < lines.size()) net[largest] += target - sum;
  }
  return net;
}

}  // namespace

Outcome BuildInvoice(const frame::AppState& app, const store::ParameterRecord& parameters,
                     const Settings& settings) {
  Outcome out;
  const store::OrderHead& head = app.order;
  const store::ParameterRecord& p = parameters;
  const store::AddressRecord& customer = app.address;
  Texts text;
  Invoice& inv = out.invoice;

  const std::string invoiceDate(store::GetText(head.invoiceDate));
  inv.issueDate = IsoDate(invoiceDate);
  if ((head.flags & store::kOrderInvoicePrinted) && inv.issueDate.empty() &&
      !invoiceDate.empty()) {
    out.message = frame::Format(
        "Die E-Rechnung kann nicht erstellt werden: das Rechnungsdatum \"%s\" von Auftrag %ld "
        "ist kein gültiges Datum.",
        invoiceDate.c_str(), static_cast<long>(head.orderNumber));
    return out;
  }
  if (!(head.flags & store::kOrderInvoicePrinted) || inv.issueDate.empty()) {
    out.message = frame::Format(
        "Auftrag %ld ist keine ausgestellte Rechnung.\nBitte die Rechnung zuerst drucken.",
        static_cast<long>(head.orderNumber));
    return out;
  }
  if (head.flags & store::kOrderCollectivelyBilled) {
    out.message = frame::Format(
        "Auftrag %ld ist mit einer Sammelrechnung berechnet.\n"
        "Die E-Rechnung ist die der Sammelrechnung.",
        static_cast<long>(head.orderNumber));
    return out;
  }
  std::vector<std::string> missing;

  // The lines as the invoice prints them: no back-orders, nothing the
  // arithmetic cannot use, nothing outside the three tax classes.
  const int count = std::clamp<int>(head.lineCount, 0, static_cast<int>(app.orderLines.size()) - 1);
  const std::span<const store::OrderLine> all =
      std::span<const store::OrderLine>(app.orderLines).subspan(1, count);
  const orders::DocumentFigures figures = orders::ComputeDocumentFigures(head, all, p, true);
  std::vector<store::OrderLine> lines;
  std::vector<int> classes;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (all[i].flags & store::kLineBackOrder) continue;
    if (!orders::LineComputable(all[i])) {
      out.notes.push_back(frame::Format(
          "Position %d: Menge und Preis ergeben einen Betrag außerhalb des Rechenbereichs; sie "
          "wird nicht übernommen.",
          static_cast<int>(i + 1)));
      continue;
    }
    if (TaxClass(all[i]) < 0) {
      out.notes.push_back(frame::Format(
          "Position %d hat keine gültige Steuerklasse und zählt nicht zur Rechnung; sie wird nicht "
          "übernommen.",
          static_cast<int>(i + 1)));
      continue;
    }
    lines.push_back(all[i]);
    classes.push_back(TaxClass(all[i]));
  }
  // The rules want at least one line; an invoice of none is no e-invoice.
  if (lines.empty()) {
    out.message = frame::Format(
        "Die E-Rechnung kann nicht erstellt werden: Rechnung %ld hat keine Position, die "
        "berechnet wird\n(nur Rückstände, keine Positionen oder keine gültige Steuerklasse).",
        static_cast<long>(head.orderNumber));
    return out;
  }
  const bool anyExempt = std::count(classes.begin(), classes.end(), 0) > 0;
  const bool anyTaxed = std::any_of(classes.begin(), classes.end(), [](int c) { return c > 0; });
  const Exemption exemption = settings.exemption;

  // A negative total is a credit note, stated in positive amounts.
  const int sign = head.total < 0 ? -1 : 1;
  inv.typeCode = sign < 0 ? "381" : "380";
  inv.number = frame::Format("%ld", static_cast<long>(head.orderNumber));
  const std::string currency = CurrencyOf(p, head.currency);
  inv.currency = CurrencyCode(currency, settings);
  if (inv.currency.empty())
    missing.push_back(frame::Format(
        "ein Währungscode nach ISO 4217 für die Währung \"%s\" (E-Rechnung, Währungscodes, "
        "z. B. SFR:CHF)",
        currency.c_str()));

  // Seller.
  Party& seller = inv.seller;
  seller.name = text(p.companyName1);
  seller.description = JoinNonEmpty({text(p.companyName2), text(p.companyName3)}, ", ");
  seller.street = text(p.street);
  const Town sellerTown = SplitTown(text(p.town));
  seller.postcode = sellerTown.postcode;
  seller.city = sellerTown.city;
  seller.country = settings.sellerCountry;
  seller.contactName = seller.name;
  seller.phone = text(p.phone);
  seller.email = text(p.email);
  seller.vatId = text(p.vatId);
  seller.taxNumber = text.clean(settings.taxNumber);
  if (seller.name.empty()) missing.push_back("Name 1 der Firma (Stammdaten)");
  if (seller.street.empty()) missing.push_back("Strasse der Firma (Stammdaten)");
  if (seller.postcode.empty()) missing.push_back("Postleitzahl im Ort der Firma (Stammdaten)");
  if (seller.city.empty()) missing.push_back("Ort der Firma (Stammdaten)");
  if (seller.phone.empty()) missing.push_back("Telefon der Firma (Stammdaten)");
  if (seller.email.empty()) missing.push_back("eMail der Firma (Stammdaten)");
  if (seller.vatId.empty() && seller.taxNumber.empty())
    missing.push_back("USt-IdNr. (Stammdaten) oder Steuernummer (E-Rechnung)");
  if (anyExempt && seller.vatId.empty() &&
      (exemption == Exemption::IntraCommunity || exemption == Exemption::Export ||
       exemption == Exemption::ReverseCharge))
    missing.push_back("USt-IdNr. der Firma (Stammdaten), für steuerfreie Positionen nötig");
  if (anyExempt && exemption == Exemption::Unset)
    missing.push_back("Grund der Steuerfreiheit steuerfreier Positionen (E-Rechnung)");
  // Not taxable supplies name no VAT identifiers and stand on their own.
  const bool notTaxable = anyExempt && exemption == Exemption::NotTaxable;
  if (notTaxable && anyTaxed)
    missing.push_back(
        "nur nicht steuerbare Positionen: die Rechnung hat auch besteuerte (Befreiung in "
        "E-Rechnung)");
  if (notTaxable) seller.vatId.clear();
  // Something the buyer knows the seller by: the VAT ID, else the tax number.
  if (seller.vatId.empty()) seller.id = seller.taxNumber;

  // Buyer.
  Party& buyer = inv.buyer;
  buyer.id = text(customer.customerNumber);
  buyer.name = JoinNonEmpty({text(customer.name1), text(customer.name2), text(customer.name3)}, " ");
  buyer.street = text(customer.street);
  const Town buyerTown = SplitTown(text(customer.town));
  buyer.postcode = buyerTown.postcode;
  buyer.city = buyerTown.city;
  buyer.country = settings.buyerCountry;
  buyer.email = text(customer.email);
  buyer.vatId = notTaxable ? std::string() : text(customer.vatId);
  if (buyer.name.empty()) missing.push_back("Name des Kunden");
  if (buyer.postcode.empty()) missing.push_back("Postleitzahl im Ort des Kunden");
  if (buyer.city.empty()) missing.push_back("Ort des Kunden");
  // The electronic address the invoice is delivered to; XRechnung requires it.
  if (buyer.email.empty()) missing.push_back("eMail des Kunden");
  if (anyExempt && buyer.vatId.empty() &&
      (exemption == Exemption::IntraCommunity || exemption == Exemption::ReverseCharge))
    missing.push_back("USt-IdNr. des Kunden, für steuerfreie Positionen nötig");
  // A public-sector customer's own Leitweg-ID comes before the setting.
  const std::string leitwegId = store::LeitwegIdOf(app, store::GetText(customer.customerNumber));
  if (!leitwegId.empty()) {
    inv.buyerReference = text.clean(leitwegId);
  } else {
    switch (settings.buyerReference) {
      case BuyerReference::CustomerNumber:
        inv.buyerReference = buyer.id;
        if (inv.buyerReference.empty()) missing.push_back("Kunden-Nr. (Käuferreferenz)");
        break;
      case BuyerReference::OrderNumber: inv.buyerReference = inv.number; break;
      case BuyerReference::FixedText:
        inv.buyerReference = text.clean(settings.buyerReferenceText);
        if (inv.buyerReference.empty()) missing.push_back("Text der Käuferreferenz (E-Rechnung)");
        break;
    }
  }
  inv.shipToBuyer = anyExempt && exemption == Exemption::IntraCommunity;

  // Payment: a credit note is paid by us, an invoice to our first account.
  inv.creditTransfer = sign > 0;
  inv.iban = CompactIban(text(p.bank1Iban));
  if (inv.creditTransfer) {
    if (inv.iban.empty())
      missing.push_back("IBAN 1 (Stammdaten)");
    else if (!IbanValid(inv.iban))
      missing.push_back("eine gültige IBAN 1 (Stammdaten): die Prüfziffer stimmt nicht");
  }

  if (!missing.empty()) {
    out.message = "Die E-Rechnung kann nicht erstellt werden. Es fehlt:";
    for (const std::string& value : missing) out.message += "\n- " + value;
    return out;
  }

  // Dates and terms.
  const std::string orderDate = IsoDate(store::GetText(head.orderDate));
  inv.serviceDate = settings.serviceDate == ServiceDate::OrderDate && !orderDate.empty()
                        ? orderDate
                        : inv.issueDate;
  // An invoice paid in full states no terms and no due date at all.
  std::string terms;
  if (head.total > 0 && !orders::PaidInFull(head)) {
    for (const std::string& line : orders::PaymentTermsLines(head, invoiceDate, inv.currency))
      terms += line + "\n";
    const orders::Date d = orders::ParseDate(invoiceDate);
    const std::string due = orders::AddDaysToDate(d.day, d.month, d.year, head.paymentPeriod);
    inv.dueDate = IsoDate(due);
    if (inv.dueDate.empty()) {
      out.message = frame::Format(
          "Die E-Rechnung kann nicht erstellt werden: das Fälligkeitsdatum %s liegt außerhalb "
          "der Jahre 1900 bis 9999.",
          due.c_str());
      return out;
    }
    if (head.cashDiscount > 0)
      terms += frame::Format("#SKONTO#TAGE=%d#PROZENT=%d.%02d#\n", head.cashDiscountPeriod,
                             head.cashDiscount / 10, head.cashDiscount % 10 * 10);
  } else if (sign < 0) {
    terms = "Der Betrag wird Ihnen gutgeschrieben.\n";
  }
  inv.paymentTerms = text.clean(terms);

  // Lines.
  const std::vector<std::int64_t> grossNets =
      figures.grossPrices ? NetOfGrossLines(lines, classes, figures) : std::vector<std::int64_t>{};
  auto categoryOf = [&](int c) -> std::string {
    if (c == 0) return std::string(ExemptionCategory(exemption));
    return figures.rates[c - 1] > 0 ? "S" : "Z";
  };
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const store::OrderLine& line = lines[i];
    InvoiceLine l;
    l.lineId = static_cast<int>(i + 1);
    l.articleNumber = text(line.articleNumber);
    l.name = text(line.description1);
    l.description = JoinNonEmpty({text(line.description2), text(line.longText)}, "\n");
    if (l.name.empty()) l.name = !l.articleNumber.empty() ? l.articleNumber : frame::Format("Position %d", l.lineId);
    l.unitCode = UnitCode(platform::Cp1252ToUtf8(store::GetText(line.unit)));
    l.category = categoryOf(classes[i]);
    l.rate = classes[i] == 0 ? 0 : figures.rates[classes[i] - 1];
    if (!figures.grossPrices) {
      // Net prices as printed: price, discount, net.
      const int priceSign = line.salePrice < 0 ? -1 : 1;
      l.quantity = sign * priceSign * line.quantity;
      l.price = std::llabs(static_cast<long long>(line.salePrice));
      l.gross = sign * std::int64_t{orders::LineGross(line)};
      l.discountAmount = sign * std::int64_t{orders::LineDiscount(line)};
      l.discount = l.discountAmount != 0 ? line.discount : 0;
      l.net = sign * std::int64_t{orders::LineNet(line)};
    } else {
      // Gross prices taken back to net: the net of the whole quantity.
      const std::int64_t net = sign * grossNets[i];
      const double quantity = std::fabs(line.quantity);
      l.net = net;
      l.gross = net;
      l.price = std::llabs(static_cast<long long>(net));
      l.priceQuantity = quantity;
      l.quantity = net < 0 ? -quantity : quantity;
      if (quantity == 0) l.price = std::llabs(static_cast<long long>(line.salePrice));
    }
    inv.lines.push_back(std::move(l));
  }

  // The VAT breakdown: one group per category and rate, also when both
  // taxed classes have the same rate.
  auto addGroup = [&](int c, std::int64_t basis, std::int64_t tax) {
    const std::string category = categoryOf(c);
    const int rate = c == 0 ? 0 : figures.rates[c - 1];
    for (TaxGroup& g : inv.groups) {
      if (g.category == category && g.rate == rate) {
        g.basis += sign * basis;
        g.tax += sign * tax;
        return;
      }
    }
    TaxGroup g{category, rate, sign * basis, sign * tax, {}, {}};
    if (c == 0) {
      g.reason = text.clean(ExemptionReason(settings));
      g.reasonCode = ExemptionReasonCode(exemption);
    } else if (category == "Z") {
      g.tax = 0;
    }
    inv.groups.push_back(std::move(g));
  };
  for (int c = 0; c < 3; ++c) {
    if (std::count(classes.begin(), classes.end(), c) == 0) continue;
    if (c == 0)
      addGroup(0, figures.sums[0], 0);
    else
      addGroup(c, figures.netOfClass(c - 1), figures.tax[c - 1]);
  }

  // Totals, as the printed invoice states them.
  for (const InvoiceLine& l : inv.lines) inv.lineTotal += l.net;
  inv.taxBasis = inv.lineTotal;
  for (const TaxGroup& g : inv.groups) inv.taxTotal += g.tax;
  inv.grandTotal = sign * figures.final();
  inv.prepaid = sign * std::int64_t{head.paid};
  inv.due = inv.grandTotal - inv.prepaid;

  if (text.replacedAny)
    out.notes.push_back(
        "Steuerzeichen in Texten, die eine XML-Datei nicht enthalten darf, wurden durch "
        "Leerzeichen ersetzt.");
  out.ok = true;
  return out;
}

}  // namespace einvoice
