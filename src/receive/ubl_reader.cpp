#include "receive/ubl_reader.h"

#include "receive/xml_nodes.h"

namespace receive {

namespace {

Party ReadParty(const pugi::xml_node& party) {
  Party p;
  p.name = Text(party, {"PartyLegalEntity", "RegistrationName"});
  if (p.name.empty()) p.name = Text(party, {"PartyName", "Name"});
  const pugi::xml_node address = Child(party, "PostalAddress");
  p.street = Text(address, {"StreetName"});
  p.additionalStreet = Text(address, {"AdditionalStreetName"});
  p.postcode = Text(address, {"PostalZone"});
  p.city = Text(address, {"CityName"});
  p.country = Text(address, {"Country", "IdentificationCode"});
  for (const pugi::xml_node& scheme : Children(party, "PartyTaxScheme")) {
    if (Text(scheme, {"TaxScheme", "ID"}) == "VAT")
      p.vatId = Text(scheme, {"CompanyID"});
    else
      p.taxNumber = Text(scheme, {"CompanyID"});
  }
  const pugi::xml_node contact = Child(party, "Contact");
  p.contactName = Text(contact, {"Name"});
  p.contactPhone = Text(contact, {"Telephone"});
  p.contactEmail = Text(contact, {"ElectronicMail"});
  p.electronicAddress = Text(party, {"EndpointID"});
  return p;
}

Adjustment ReadAdjustment(const pugi::xml_node& node) {
  Adjustment a;
  a.charge = Text(node, {"ChargeIndicator"}) == "true";
  a.amount = AmountAt(node, {"Amount"});
  a.base = AmountAt(node, {"BaseAmount"});
  a.percent = AmountAt(node, {"MultiplierFactorNumeric"});
  a.reason = Text(node, {"AllowanceChargeReason"});
  if (a.reason.empty()) a.reason = Text(node, {"AllowanceChargeReasonCode"});
  a.category = Text(node, {"TaxCategory", "ID"});
  a.rate = AmountAt(node, {"TaxCategory", "Percent"});
  return a;
}

Line ReadLine(const pugi::xml_node& item, bool creditNote) {
  Line line;
  line.id = Text(item, {"ID"});
  line.note = Text(item, {"Note"});
  const pugi::xml_node quantity = Child(item, creditNote ? "CreditedQuantity" : "InvoicedQuantity");
  line.quantity = ReadAmount(quantity.child_value());
  line.unit = Attribute(quantity, "unitCode");
  line.netAmount = AmountAt(item, {"LineExtensionAmount"});
  for (const pugi::xml_node& adjustment : Children(item, "AllowanceCharge"))
    line.adjustments.push_back(ReadAdjustment(adjustment));
  const pugi::xml_node product = Child(item, "Item");
  line.name = Text(product, {"Name"});
  line.description = Text(product, {"Description"});
  line.category = Text(product, {"ClassifiedTaxCategory", "ID"});
  line.rate = AmountAt(product, {"ClassifiedTaxCategory", "Percent"});
  const pugi::xml_node price = Child(item, "Price");
  line.netPrice = AmountAt(price, {"PriceAmount"});
  line.baseQuantity = AmountAt(price, {"BaseQuantity"});
  line.grossPrice = AmountAt(price, {"AllowanceCharge", "BaseAmount"});
  return line;
}

}  // namespace

ReceivedInvoice ReadUbl(const pugi::xml_node& root) {
  const bool creditNote = LocalName(root) == "CreditNote";
  ReceivedInvoice invoice;
  invoice.syntax = Syntax::Ubl;
  invoice.specification = Text(root, {"CustomizationID"});
  invoice.number = Text(root, {"ID"});
  invoice.typeCode = Text(root, {creditNote ? "CreditNoteTypeCode" : "InvoiceTypeCode"});
  invoice.issueDate = GermanDate(Text(root, {"IssueDate"}));
  invoice.dueDate = GermanDate(Text(root, {"DueDate"}));
  invoice.currency = Text(root, {"DocumentCurrencyCode"});
  invoice.buyerReference = Text(root, {"BuyerReference"});
  invoice.orderReference = Text(root, {"OrderReference", "ID"});
  for (const pugi::xml_node& note : Children(root, "Note")) {
    std::string text = note.child_value();
    // UBL carries a note's subject code as "#ADU#" before its text.
    if (text.size() > 2 && text[0] == '#') {
      const std::size_t end = text.find('#', 1);
      if (end != std::string::npos && end <= 4) text.erase(0, end + 1);
    }
    if (!text.empty()) invoice.notes.push_back(text);
  }
  invoice.periodStart = GermanDate(Text(root, {"InvoicePeriod", "StartDate"}));
  invoice.periodEnd = GermanDate(Text(root, {"InvoicePeriod", "EndDate"}));
  invoice.precedingNumber = Text(root, {"BillingReference", "InvoiceDocumentReference", "ID"});
  invoice.precedingDate =
      GermanDate(Text(root, {"BillingReference", "InvoiceDocumentReference", "IssueDate"}));
  for (const pugi::xml_node& reference : Children(root, "AdditionalDocumentReference")) {
    const pugi::xml_node attached = Child(reference, "Attachment");
    if (!attached) continue;
    Attachment attachment;
    attachment.id = Text(reference, {"ID"});
    attachment.description = Text(reference, {"DocumentDescription"});
    attachment.uri = Text(attached, {"ExternalReference", "URI"});
    const pugi::xml_node object = Child(attached, "EmbeddedDocumentBinaryObject");
    if (object) {
      attachment.fileName = Attribute(object, "filename");
      attachment.mimeCode = Attribute(object, "mimeCode");
      if (!DecodeBase64(object.child_value(), attachment.content)) attachment.content.clear();
    }
    invoice.attachments.push_back(std::move(attachment));
  }
  invoice.seller = ReadParty(Path(root, {"AccountingSupplierParty", "Party"}));
  invoice.buyer = ReadParty(Path(root, {"AccountingCustomerParty", "Party"}));
  invoice.payeeName = Text(root, {"PayeeParty", "PartyName", "Name"});
  invoice.deliveryDate = GermanDate(Text(root, {"Delivery", "ActualDeliveryDate"}));
  for (const pugi::xml_node& node : Children(root, "PaymentMeans")) {
    PaymentMeans means;
    means.code = Text(node, {"PaymentMeansCode"});
    means.information = Attribute(Child(node, "PaymentMeansCode"), "name");
    means.remittance = Text(node, {"PaymentID"});
    means.iban = Text(node, {"PayeeFinancialAccount", "ID"});
    if (means.iban.empty())
      means.iban = Text(node, {"PaymentMandate", "PayerFinancialAccount", "ID"});
    means.accountName = Text(node, {"PayeeFinancialAccount", "Name"});
    means.bic = Text(node, {"PayeeFinancialAccount", "FinancialInstitutionBranch", "ID"});
    invoice.payments.push_back(std::move(means));
  }
  for (const pugi::xml_node& terms : Children(root, "PaymentTerms")) {
    const std::string note = Text(terms, {"Note"});
    if (!note.empty()) invoice.paymentTerms += (invoice.paymentTerms.empty() ? "" : "\n") + note;
  }
  for (const pugi::xml_node& node : Children(root, "AllowanceCharge"))
    invoice.adjustments.push_back(ReadAdjustment(node));
  // The tax total in the invoice's currency carries the breakdown; a second
  // one may state the tax in the accounting currency (BT-111).
  pugi::xml_node taxTotal;
  for (const pugi::xml_node& total : Children(root, "TaxTotal"))
    if (!taxTotal && !Children(total, "TaxSubtotal").empty()) taxTotal = total;
  for (const pugi::xml_node& total : Children(root, "TaxTotal")) {
    const std::string stated = Attribute(Child(total, "TaxAmount"), "currencyID");
    if (!taxTotal && (stated.empty() || stated == invoice.currency)) taxTotal = total;
  }
  invoice.totals.tax = AmountAt(taxTotal, {"TaxAmount"});
  for (const pugi::xml_node& sub : Children(taxTotal, "TaxSubtotal")) {
    TaxBreakdown tax;
    tax.basis = AmountAt(sub, {"TaxableAmount"});
    tax.tax = AmountAt(sub, {"TaxAmount"});
    const pugi::xml_node category = Child(sub, "TaxCategory");
    tax.category = Text(category, {"ID"});
    tax.rate = AmountAt(category, {"Percent"});
    tax.exemptionReason = Text(category, {"TaxExemptionReason"});
    if (tax.exemptionReason.empty())
      tax.exemptionReason = Text(category, {"TaxExemptionReasonCode"});
    invoice.breakdown.push_back(std::move(tax));
  }
  const pugi::xml_node sums = Child(root, "LegalMonetaryTotal");
  Totals& t = invoice.totals;
  t.lineNet = AmountAt(sums, {"LineExtensionAmount"});
  t.allowances = AmountAt(sums, {"AllowanceTotalAmount"});
  t.charges = AmountAt(sums, {"ChargeTotalAmount"});
  t.taxBasis = AmountAt(sums, {"TaxExclusiveAmount"});
  t.total = AmountAt(sums, {"TaxInclusiveAmount"});
  t.prepaid = AmountAt(sums, {"PrepaidAmount"});
  t.rounding = AmountAt(sums, {"PayableRoundingAmount"});
  t.due = AmountAt(sums, {"PayableAmount"});
  for (const pugi::xml_node& item : Children(root, creditNote ? "CreditNoteLine" : "InvoiceLine"))
    invoice.lines.push_back(ReadLine(item, creditNote));
  return invoice;
}

}  // namespace receive
