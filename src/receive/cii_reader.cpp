#include "receive/cii_reader.h"

#include "receive/xml_nodes.h"

namespace receive {

namespace {

std::string DateAt(const pugi::xml_node& node, std::initializer_list<std::string_view> locals) {
  return GermanDate(Text(node, locals));
}

Party ReadParty(const pugi::xml_node& party) {
  Party p;
  p.name = Text(party, {"Name"});
  const pugi::xml_node address = Child(party, "PostalTradeAddress");
  p.street = Text(address, {"LineOne"});
  p.additionalStreet = Text(address, {"LineTwo"});
  p.postcode = Text(address, {"PostcodeCode"});
  p.city = Text(address, {"CityName"});
  p.country = Text(address, {"CountryID"});
  for (const pugi::xml_node& registration : Children(party, "SpecifiedTaxRegistration")) {
    const pugi::xml_node id = Child(registration, "ID");
    const std::string scheme = Attribute(id, "schemeID");
    if (scheme == "VA")
      p.vatId = Text(registration, {"ID"});
    else if (scheme == "FC")
      p.taxNumber = Text(registration, {"ID"});
  }
  const pugi::xml_node contact = Child(party, "DefinedTradeContact");
  p.contactName = Text(contact, {"PersonName"});
  if (p.contactName.empty()) p.contactName = Text(contact, {"DepartmentName"});
  p.contactPhone = Text(contact, {"TelephoneUniversalCommunication", "CompleteNumber"});
  p.contactEmail = Text(contact, {"EmailURIUniversalCommunication", "URIID"});
  p.electronicAddress = Text(party, {"URIUniversalCommunication", "URIID"});
  return p;
}

Adjustment ReadAdjustment(const pugi::xml_node& node) {
  Adjustment a;
  a.charge = Text(node, {"ChargeIndicator", "Indicator"}) == "true";
  a.amount = AmountAt(node, {"ActualAmount"});
  a.base = AmountAt(node, {"BasisAmount"});
  a.percent = AmountAt(node, {"CalculationPercent"});
  a.reason = Text(node, {"Reason"});
  if (a.reason.empty()) a.reason = Text(node, {"ReasonCode"});
  a.category = Text(node, {"CategoryTradeTax", "CategoryCode"});
  a.rate = AmountAt(node, {"CategoryTradeTax", "RateApplicablePercent"});
  return a;
}

Line ReadLine(const pugi::xml_node& item) {
  Line line;
  const pugi::xml_node document = Child(item, "AssociatedDocumentLineDocument");
  line.id = Text(document, {"LineID"});
  line.note = Text(document, {"IncludedNote", "Content"});
  const pugi::xml_node product = Child(item, "SpecifiedTradeProduct");
  line.name = Text(product, {"Name"});
  line.description = Text(product, {"Description"});
  const pugi::xml_node agreement = Child(item, "SpecifiedLineTradeAgreement");
  line.grossPrice = AmountAt(agreement, {"GrossPriceProductTradePrice", "ChargeAmount"});
  line.netPrice = AmountAt(agreement, {"NetPriceProductTradePrice", "ChargeAmount"});
  line.baseQuantity = AmountAt(agreement, {"NetPriceProductTradePrice", "BasisQuantity"});
  if (!line.baseQuantity.present())
    line.baseQuantity = AmountAt(agreement, {"GrossPriceProductTradePrice", "BasisQuantity"});
  const pugi::xml_node quantity = Path(item, {"SpecifiedLineTradeDelivery", "BilledQuantity"});
  line.quantity = ReadAmount(quantity.child_value());
  line.unit = Attribute(quantity, "unitCode");
  const pugi::xml_node settlement = Child(item, "SpecifiedLineTradeSettlement");
  line.category = Text(settlement, {"ApplicableTradeTax", "CategoryCode"});
  line.rate = AmountAt(settlement, {"ApplicableTradeTax", "RateApplicablePercent"});
  for (const pugi::xml_node& adjustment : Children(settlement, "SpecifiedTradeAllowanceCharge"))
    line.adjustments.push_back(ReadAdjustment(adjustment));
  line.netAmount =
      AmountAt(settlement, {"SpecifiedTradeSettlementLineMonetarySummation", "LineTotalAmount"});
  return line;
}

// The amount of the first element with this name that states the invoice's
// currency or none (BT-110 may come twice: once more in the accounting
// currency, BT-111).
Amount InCurrency(const pugi::xml_node& summation, std::string_view local,
                  const std::string& currency) {
  const std::vector<pugi::xml_node> found = Children(summation, local);
  for (const pugi::xml_node& node : found) {
    const std::string stated = Attribute(node, "currencyID");
    if (stated.empty() || stated == currency) return ReadAmount(node.child_value());
  }
  return found.empty() ? Amount{} : ReadAmount(found.front().child_value());
}

}  // namespace

ReceivedInvoice ReadCii(const pugi::xml_node& root) {
  ReceivedInvoice invoice;
  invoice.syntax = Syntax::Cii;
  invoice.specification =
      Text(root, {"ExchangedDocumentContext", "GuidelineSpecifiedDocumentContextParameter", "ID"});
  const pugi::xml_node document = Child(root, "ExchangedDocument");
  invoice.number = Text(document, {"ID"});
  invoice.typeCode = Text(document, {"TypeCode"});
  invoice.issueDate = DateAt(document, {"IssueDateTime", "DateTimeString"});
  for (const pugi::xml_node& note : Children(document, "IncludedNote")) {
    const std::string content = Text(note, {"Content"});
    if (!content.empty()) invoice.notes.push_back(content);
  }

  const pugi::xml_node transaction = Child(root, "SupplyChainTradeTransaction");
  for (const pugi::xml_node& item : Children(transaction, "IncludedSupplyChainTradeLineItem"))
    invoice.lines.push_back(ReadLine(item));

  const pugi::xml_node agreement = Child(transaction, "ApplicableHeaderTradeAgreement");
  invoice.buyerReference = Text(agreement, {"BuyerReference"});
  invoice.seller = ReadParty(Child(agreement, "SellerTradeParty"));
  invoice.buyer = ReadParty(Child(agreement, "BuyerTradeParty"));
  invoice.orderReference = Text(agreement, {"BuyerOrderReferencedDocument", "IssuerAssignedID"});
  for (const pugi::xml_node& reference : Children(agreement, "AdditionalReferencedDocument")) {
    if (Text(reference, {"TypeCode"}) != "916") continue;
    Attachment attachment;
    attachment.id = Text(reference, {"IssuerAssignedID"});
    attachment.description = Text(reference, {"Name"});
    attachment.uri = Text(reference, {"URIID"});
    const pugi::xml_node object = Child(reference, "AttachmentBinaryObject");
    if (object) {
      attachment.fileName = Attribute(object, "filename");
      attachment.mimeCode = Attribute(object, "mimeCode");
      if (!DecodeBase64(object.child_value(), attachment.content)) attachment.content.clear();
    }
    invoice.attachments.push_back(std::move(attachment));
  }

  const pugi::xml_node delivery = Child(transaction, "ApplicableHeaderTradeDelivery");
  invoice.deliveryDate =
      DateAt(delivery, {"ActualDeliverySupplyChainEvent", "OccurrenceDateTime", "DateTimeString"});

  const pugi::xml_node settlement = Child(transaction, "ApplicableHeaderTradeSettlement");
  invoice.currency = Text(settlement, {"InvoiceCurrencyCode"});
  invoice.payeeName = Text(settlement, {"PayeeTradeParty", "Name"});
  for (const pugi::xml_node& node : Children(settlement, "SpecifiedTradeSettlementPaymentMeans")) {
    PaymentMeans means;
    means.code = Text(node, {"TypeCode"});
    means.information = Text(node, {"Information"});
    means.iban = Text(node, {"PayeePartyCreditorFinancialAccount", "IBANID"});
    if (means.iban.empty()) means.iban = Text(node, {"PayerPartyDebtorFinancialAccount", "IBANID"});
    means.accountName = Text(node, {"PayeePartyCreditorFinancialAccount", "AccountName"});
    means.bic = Text(node, {"PayeeSpecifiedCreditorFinancialInstitution", "BICID"});
    means.remittance = Text(settlement, {"PaymentReference"});
    invoice.payments.push_back(std::move(means));
  }
  for (const pugi::xml_node& node : Children(settlement, "ApplicableTradeTax")) {
    TaxBreakdown tax;
    tax.category = Text(node, {"CategoryCode"});
    tax.rate = AmountAt(node, {"RateApplicablePercent"});
    tax.basis = AmountAt(node, {"BasisAmount"});
    tax.tax = AmountAt(node, {"CalculatedAmount"});
    tax.exemptionReason = Text(node, {"ExemptionReason"});
    if (tax.exemptionReason.empty()) tax.exemptionReason = Text(node, {"ExemptionReasonCode"});
    invoice.breakdown.push_back(std::move(tax));
  }
  const pugi::xml_node period = Child(settlement, "BillingSpecifiedPeriod");
  invoice.periodStart = DateAt(period, {"StartDateTime", "DateTimeString"});
  invoice.periodEnd = DateAt(period, {"EndDateTime", "DateTimeString"});
  for (const pugi::xml_node& node : Children(settlement, "SpecifiedTradeAllowanceCharge"))
    invoice.adjustments.push_back(ReadAdjustment(node));
  for (const pugi::xml_node& terms : Children(settlement, "SpecifiedTradePaymentTerms")) {
    const std::string description = Text(terms, {"Description"});
    if (!description.empty())
      invoice.paymentTerms += (invoice.paymentTerms.empty() ? "" : "\n") + description;
    if (invoice.dueDate.empty())
      invoice.dueDate = DateAt(terms, {"DueDateDateTime", "DateTimeString"});
  }
  const pugi::xml_node sums = Child(settlement, "SpecifiedTradeSettlementHeaderMonetarySummation");
  Totals& t = invoice.totals;
  t.lineNet = AmountAt(sums, {"LineTotalAmount"});
  t.charges = AmountAt(sums, {"ChargeTotalAmount"});
  t.allowances = AmountAt(sums, {"AllowanceTotalAmount"});
  t.taxBasis = AmountAt(sums, {"TaxBasisTotalAmount"});
  t.tax = InCurrency(sums, "TaxTotalAmount", invoice.currency);
  t.rounding = AmountAt(sums, {"RoundingAmount"});
  t.total = AmountAt(sums, {"GrandTotalAmount"});
  t.prepaid = AmountAt(sums, {"TotalPrepaidAmount"});
  t.due = AmountAt(sums, {"DuePayableAmount"});
  const pugi::xml_node preceding = Child(settlement, "InvoiceReferencedDocument");
  invoice.precedingNumber = Text(preceding, {"IssuerAssignedID"});
  invoice.precedingDate = DateAt(preceding, {"FormattedIssueDateTime", "DateTimeString"});
  return invoice;
}

}  // namespace receive
