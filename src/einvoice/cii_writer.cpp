#include "einvoice/cii_writer.h"

#include <pugixml.hpp>

#include <cstdlib>
#include <sstream>

#include "core/decimal.h"
#include "platform/utf8.h"

namespace einvoice {

namespace {

using pugi::xml_node;

// What XML 1.0 allows in a document: bytes that are no UTF-8 become U+FFFD,
// control characters other than tab and the line ends are left out (a
// receiver refuses the whole invoice for one of them).
std::string XmlText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const platform::CodePoint c = platform::DecodeUtf8(text, at);
    if (c.length == 0) {
      out += "\xEF\xBF\xBD";
      ++at;
      continue;
    }
    const char32_t v = c.value;
    const bool allowed = v == 0x9 || v == 0xA || v == 0xD || (v >= 0x20 && v != 0xFFFE && v != 0xFFFF);
    if (allowed) out.append(text.substr(at, c.length));
    at += c.length;
  }
  return out;
}

xml_node Add(xml_node parent, const char* name, const std::string& value = {}) {
  xml_node node = parent.append_child(name);
  if (!value.empty()) node.text().set(XmlText(value).c_str());
  return node;
}

void SetAttribute(xml_node node, const char* name, const std::string& value) {
  node.append_attribute(name) = XmlText(value).c_str();
}

// The element only when there is something to say.
void AddIf(xml_node parent, const char* name, const std::string& value) {
  if (!value.empty()) Add(parent, name, value);
}

void AddDate(xml_node parent, const char* name, const std::string& yyyymmdd) {
  xml_node date = Add(Add(parent, name), "udt:DateTimeString", yyyymmdd);
  date.append_attribute("format") = "102";
}

// Tenths of a percent as a percentage ("19.0").
std::string Percent(int tenths) {
  return frame::Format("%s%d.%d", tenths < 0 ? "-" : "", std::abs(tenths) / 10, std::abs(tenths) % 10);
}

std::string Quantity(double quantity) {
  std::string text = frame::Format("%.6f", quantity);
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text == "-0" ? "0" : text;
}

void AddQuantity(xml_node parent, const char* name, double quantity, const std::string& unit) {
  SetAttribute(Add(parent, name, Quantity(quantity)), "unitCode", unit);
}

void AddTaxRegistration(xml_node party, const char* scheme, const std::string& id) {
  if (id.empty()) return;
  Add(Add(party, "ram:SpecifiedTaxRegistration"), "ram:ID", id).append_attribute("schemeID") = scheme;
}

void AddAddress(xml_node party, const Party& p) {
  xml_node address = Add(party, "ram:PostalTradeAddress");
  AddIf(address, "ram:PostcodeCode", p.postcode);
  AddIf(address, "ram:LineOne", p.street);
  AddIf(address, "ram:CityName", p.city);
  Add(address, "ram:CountryID", p.country);
}

void AddParty(xml_node parent, const char* name, const Party& p, bool contact) {
  xml_node party = Add(parent, name);
  AddIf(party, "ram:ID", p.id);
  Add(party, "ram:Name", p.name);
  AddIf(party, "ram:Description", p.description);
  if (contact) {
    xml_node c = Add(party, "ram:DefinedTradeContact");
    Add(c, "ram:PersonName", p.contactName);
    Add(Add(c, "ram:TelephoneUniversalCommunication"), "ram:CompleteNumber", p.phone);
    Add(Add(c, "ram:EmailURIUniversalCommunication"), "ram:URIID", p.email);
  }
  AddAddress(party, p);
  if (!p.email.empty())
    Add(Add(party, "ram:URIUniversalCommunication"), "ram:URIID", p.email)
        .append_attribute("schemeID") = "EM";
  AddTaxRegistration(party, "VA", p.vatId);
  AddTaxRegistration(party, "FC", p.taxNumber);
}

void AddLine(xml_node transaction, const InvoiceLine& l) {
  xml_node item = Add(transaction, "ram:IncludedSupplyChainTradeLineItem");
  Add(Add(item, "ram:AssociatedDocumentLineDocument"), "ram:LineID", std::to_string(l.lineId));
  xml_node product = Add(item, "ram:SpecifiedTradeProduct");
  AddIf(product, "ram:SellerAssignedID", l.articleNumber);
  Add(product, "ram:Name", l.name);
  AddIf(product, "ram:Description", l.description);
  xml_node price = Add(Add(item, "ram:SpecifiedLineTradeAgreement"), "ram:NetPriceProductTradePrice");
  Add(price, "ram:ChargeAmount", Amount(l.price));
  if (l.priceQuantity != 0) AddQuantity(price, "ram:BasisQuantity", l.priceQuantity, l.unitCode);
  AddQuantity(Add(item, "ram:SpecifiedLineTradeDelivery"), "ram:BilledQuantity", l.quantity,
              l.unitCode);
  xml_node settlement = Add(item, "ram:SpecifiedLineTradeSettlement");
  xml_node tax = Add(settlement, "ram:ApplicableTradeTax");
  Add(tax, "ram:TypeCode", "VAT");
  Add(tax, "ram:CategoryCode", l.category);
  // A line not subject to VAT has no rate; its breakdown states 0.
  if (l.category != "O") Add(tax, "ram:RateApplicablePercent", Percent(l.rate));
  if (l.discount != 0) {
    xml_node allowance = Add(settlement, "ram:SpecifiedTradeAllowanceCharge");
    Add(Add(allowance, "ram:ChargeIndicator"), "udt:Indicator", "false");
    Add(allowance, "ram:CalculationPercent", Percent(l.discount));
    Add(allowance, "ram:BasisAmount", Amount(l.gross));
    Add(allowance, "ram:ActualAmount", Amount(l.discountAmount));
    Add(allowance, "ram:Reason", "Rabatt");
  }
  Add(Add(settlement, "ram:SpecifiedTradeSettlementLineMonetarySummation"), "ram:LineTotalAmount",
      Amount(l.net));
}

}  // namespace

std::string Amount(std::int64_t cents) {
  const long long value = std::llabs(static_cast<long long>(cents));
  return frame::Format("%s%lld.%02lld", cents < 0 ? "-" : "", value / 100, value % 100);
}

std::string CiiXml(const Invoice& inv, std::string_view guideline) {
  pugi::xml_document doc;
  xml_node declaration = doc.append_child(pugi::node_declaration);
  declaration.append_attribute("version") = "1.0";
  declaration.append_attribute("encoding") = "UTF-8";
  xml_node root = doc.append_child("rsm:CrossIndustryInvoice");
  root.append_attribute("xmlns:rsm") = "urn:un:unece:uncefact:data:standard:CrossIndustryInvoice:100";
  root.append_attribute("xmlns:ram") =
      "urn:un:unece:uncefact:data:standard:ReusableAggregateBusinessInformationEntity:100";
  root.append_attribute("xmlns:qdt") = "urn:un:unece:uncefact:data:standard:QualifiedDataType:100";
  root.append_attribute("xmlns:udt") = "urn:un:unece:uncefact:data:standard:UnqualifiedDataType:100";

  xml_node context = Add(root, "rsm:ExchangedDocumentContext");
  Add(Add(context, "ram:BusinessProcessSpecifiedDocumentContextParameter"), "ram:ID",
      "urn:fdc:peppol.eu:2017:poacc:billing:01:1.0");
  Add(Add(context, "ram:GuidelineSpecifiedDocumentContextParameter"), "ram:ID", std::string(guideline));

  xml_node document = Add(root, "rsm:ExchangedDocument");
  Add(document, "ram:ID", inv.number);
  Add(document, "ram:TypeCode", inv.typeCode);
  AddDate(document, "ram:IssueDateTime", inv.issueDate);

  xml_node transaction = Add(root, "rsm:SupplyChainTradeTransaction");
  for (const InvoiceLine& line : inv.lines) AddLine(transaction, line);

  xml_node agreement = Add(transaction, "ram:ApplicableHeaderTradeAgreement");
  Add(agreement, "ram:BuyerReference", inv.buyerReference);
  AddParty(agreement, "ram:SellerTradeParty", inv.seller, true);
  AddParty(agreement, "ram:BuyerTradeParty", inv.buyer, false);

  xml_node delivery = Add(transaction, "ram:ApplicableHeaderTradeDelivery");
  if (inv.shipToBuyer) {
    xml_node shipTo = Add(delivery, "ram:ShipToTradeParty");
    Add(shipTo, "ram:Name", inv.buyer.name);
    AddAddress(shipTo, inv.buyer);
  }
  AddDate(Add(delivery, "ram:ActualDeliverySupplyChainEvent"), "ram:OccurrenceDateTime",
          inv.serviceDate);

  xml_node settlement = Add(transaction, "ram:ApplicableHeaderTradeSettlement");
  Add(settlement, "ram:PaymentReference", inv.number);
  Add(settlement, "ram:InvoiceCurrencyCode", inv.currency);
  xml_node means = Add(settlement, "ram:SpecifiedTradeSettlementPaymentMeans");
  if (inv.creditTransfer) {
    Add(means, "ram:TypeCode", "58");
    xml_node account = Add(means, "ram:PayeePartyCreditorFinancialAccount");
    Add(account, "ram:IBANID", inv.iban);
    AddIf(account, "ram:AccountName", inv.seller.name);
  } else {
    Add(means, "ram:TypeCode", "1");
  }
  for (const TaxGroup& g : inv.groups) {
    xml_node tax = Add(settlement, "ram:ApplicableTradeTax");
    Add(tax, "ram:CalculatedAmount", Amount(g.tax));
    Add(tax, "ram:TypeCode", "VAT");
    AddIf(tax, "ram:ExemptionReason", g.reason);
    Add(tax, "ram:BasisAmount", Amount(g.basis));
    Add(tax, "ram:CategoryCode", g.category);
    AddIf(tax, "ram:ExemptionReasonCode", g.reasonCode);
    Add(tax, "ram:RateApplicablePercent", Percent(g.rate));
  }
  if (!inv.paymentTerms.empty() || !inv.dueDate.empty()) {
    xml_node terms = Add(settlement, "ram:SpecifiedTradePaymentTerms");
    AddIf(terms, "ram:Description", inv.paymentTerms);
    if (!inv.dueDate.empty()) AddDate(terms, "ram:DueDateDateTime", inv.dueDate);
  }
  xml_node sums = Add(settlement, "ram:SpecifiedTradeSettlementHeaderMonetarySummation");
  Add(sums, "ram:LineTotalAmount", Amount(inv.lineTotal));
  Add(sums, "ram:TaxBasisTotalAmount", Amount(inv.taxBasis));
  SetAttribute(Add(sums, "ram:TaxTotalAmount", Amount(inv.taxTotal)), "currencyID", inv.currency);
  Add(sums, "ram:GrandTotalAmount", Amount(inv.grandTotal));
  if (inv.prepaid != 0) Add(sums, "ram:TotalPrepaidAmount", Amount(inv.prepaid));
  Add(sums, "ram:DuePayableAmount", Amount(inv.due));
  if (!inv.precedingNumber.empty()) {
    xml_node preceding = Add(settlement, "ram:InvoiceReferencedDocument");
    Add(preceding, "ram:IssuerAssignedID", inv.precedingNumber);
    if (!inv.precedingDate.empty()) {
      xml_node date = Add(Add(preceding, "ram:FormattedIssueDateTime"), "qdt:DateTimeString",
                          inv.precedingDate);
      date.append_attribute("format") = "102";
    }
  }

  std::ostringstream out;
  doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
  return out.str();
}

}  // namespace einvoice
