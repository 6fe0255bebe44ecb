#include "orders/cash_sale.h"

#include <vector>

#include "store/load_parameters.h"
#include "core/user_interface.h"
#include "orders/cash_customer.h"
#include "core/dates.h"
#include "orders/goods_receipt.h"
#include "orders/order_math.h"
#include "store/address_file.h"
#include "store/article_file.h"
#include "store/order_file.h"
#include "store/text_field.h"

namespace orders {

namespace {

// The tax bits a typed article is created with: the second rate (and bit 1,
// which the article dialog leaves alone).
constexpr std::uint8_t kTypedArticleFlags = store::kArticleTaxRate2 | 1;

bool Ask(frame::AppState& app, const char* text) {
  return app.ui && app.ui->question(text, frame::Icon::Question, false);
}

void Tell(frame::AppState& app, const char* text) {
  if (app.ui) app.ui->message(text, frame::Icon::Stop);
}

}  // namespace

CashSale::CashSale(frame::AppState& app) : app_(app), editor_(app) {}

std::uint16_t CashSale::grossFlags() const {
  std::uint16_t flags = 0;
  if (app_.parameters.grossPrices) flags |= store::kOrderPricesIncludeTax;
  if (app_.parameters.grossAsNet) flags |= store::kOrderGrossAsNet;
  return flags;
}

void CashSale::startNew() {
  for (int i = 1; i <= lineCount(); ++i) app_.orderLines[i] = BlankOrderLine();
  // Nothing of the sale booked last (its payment, its number) may reach the
  // next one; the sale is priced in the main currency.
  app_.order = store::OrderHead{};
  app_.order.flags = grossFlags();
  editedLine() = BlankOrderLine();
  editor_.select(-1);
  editor_.refreshTotal();
}

void CashSale::takeArticle() {
  editor_.takeOverArticle();
  // A counter sale knows no customer discounts.
  editedLine().discount = 0;
}

bool CashSale::add() {
  store::OrderLine& line = editedLine();
  if (store::GetText(line.articleNumber).empty()) return false;
  store::ArticleRecord typed{};
  typed.length = sizeof typed;
  store::SetText(typed.number, store::GetText(line.articleNumber));
  store::SetText(typed.designation, store::GetText(line.description1));
  store::SetText(typed.remark1, store::GetText(line.description2));
  store::SetText(typed.remark2, store::GetText(line.longText));
  store::SetText(typed.unit, store::GetText(line.unit));
  typed.price1 = line.salePrice;
  typed.purchasePrice = line.costPrice;
  typed.flags = kTypedArticleFlags;
  typed.currency = static_cast<std::uint8_t>(app_.order.currency);

  // The line refers to the article it names: the one found under its
  // number, the one created for it, or none (then booking moves no stock).
  store::ArticleRecord named = typed;
  std::int32_t reference = -1;
  std::int32_t position = -1;
  bool known = store::FindArticleByNumber(app_, typed, position) == 1;
  if (!known && Ask(app_, "Artikel neu anlegen ?")) {
    position = -1;
    known = store::WriteArticle(app_, typed, position, true) == 1;
  }
  if (known && store::ReadArticle(app_, named, position)) {
    reference = static_cast<std::int32_t>(app_.articles.entry.offset);
    app_.article = named;
    app_.articles.position = position;
  } else {
    named = typed;
  }
  line.discount = 0;
  line.articleRef = reference;
  line.orderNumber = static_cast<std::int32_t>(app_.nextOrderNumber);
  line.taxCode = TaxCodeFromArticle(named);
  app_.order.flags = static_cast<std::uint16_t>(
      (app_.order.flags & ~(store::kOrderPricesIncludeTax | store::kOrderGrossAsNet)) |
      grossFlags());
  return editor_.appendLine();
}

bool CashSale::refuseEmpty(const char* text) {
  if (lineCount() > 0) return false;
  Tell(app_, text);
  return true;
}

bool CashSale::customerAt(std::int32_t position, store::AddressRecord& customer,
                          std::int32_t& offset) {
  // The selected address (the last customer of a document) stays selected.
  const auto cursor = app_.addresses;
  const bool found = position <= app_.addresses.lastIndex &&
                     store::ReadAddress(app_, customer, position) == 1;
  offset = static_cast<std::int32_t>(app_.addresses.entry.offset);
  const std::int32_t last = app_.addresses.lastIndex;
  app_.addresses = cursor;
  app_.addresses.lastIndex = last;
  return found;
}

bool CashSale::storeSale(const store::AddressRecord& customer, std::int32_t offset,
                         std::uint16_t flags, bool goodsReceipt, bool paid) {
  const int count = lineCount();
  const std::vector<store::OrderLine> typed(app_.orderLines.begin() + 1,
                                            app_.orderLines.begin() + 1 + count);
  frame::LoadParameters(app_);
  store::OrderHead head{};
  head.customerRef = offset;
  head.orderNumber = static_cast<std::int32_t>(app_.nextOrderNumber);
  store::SetText(head.orderDate, FormatDate(*app_.clock));
  head.stored = 1;
  head.lineCount = static_cast<std::int16_t>(count);
  head.paymentPeriod = customer.paymentPeriod;
  head.cashDiscount = customer.cashDiscount;
  head.cashDiscountPeriod = customer.cashDiscountPeriod;
  head.currency = customer.currency;
  head.flags = static_cast<std::uint16_t>(flags | grossFlags());
  for (int i = 1; i <= count; ++i) {
    store::OrderLine& line = app_.orderLines[i];
    // The lines were priced in the sale's currency; a customer who pays in
    // another one is billed in his.
    line.salePrice = ConvertPrice(line.salePrice, app_.order.currency, head.currency,
                                  app_.parameters);
    line.costPrice = ConvertPrice(line.costPrice, app_.order.currency, head.currency,
                                  app_.parameters);
    if (goodsReceipt) line.quantity = -line.quantity;
  }
  RefreshOrderTotal(head, app_.orderLines, app_.parameters);
  head.paid = paid ? head.total : 0;
  std::int32_t position = -1;
  if (!store::StoreOrder(app_, head, position, store::StoreMode::NewNumber)) {
    std::copy(typed.begin(), typed.end(), app_.orderLines.begin() + 1);
    Tell(app_, "Der Auftrag konnte nicht gespeichert werden.");
    return false;
  }
  app_.order = head;
  app_.orderAddress = customer;
  editor_.refreshTotal();
  return true;
}

SaleEnd CashSale::bookFor(std::int32_t position, const char* missing, const char* question,
                          bool goodsReceipt) {
  if (refuseEmpty("Speichern lohnt nicht !\nEs sind keine Artikel eingetragen!"))
    return SaleEnd::Kept;
  store::AddressRecord customer{};
  std::int32_t offset = -1;
  if (!customerAt(position, customer, offset)) {
    Tell(app_, missing);
    return SaleEnd::Kept;
  }
  if (!Ask(app_, question)) return SaleEnd::Kept;
  // A goods receipt is delivered but never invoiced: it moves stock only.
  const std::uint16_t flags =
      goodsReceipt ? store::kOrderDeliveryNotePrinted | kOrderGoodsReceipt
                   : store::kOrderDeliveryNotePrinted | store::kOrderInvoicePrinted;
  return storeSale(customer, offset, flags, goodsReceipt, true) ? SaleEnd::Booked : SaleEnd::Kept;
}

SaleEnd CashSale::bookWithoutInvoice(const CashCustomerChoice& chooseCashCustomer) {
  if (refuseEmpty("Speichern lohnt nicht !\nEs sind keine Artikel eingetragen!"))
    return SaleEnd::Kept;
  std::int32_t position = FindCashCustomer(app_);
  if (position < 0) {
    const std::vector<CashCustomerCandidate> names = CashCustomerCandidates(app_);
    if (names.empty()) {
      Tell(app_, "Für den Verkauf ohne Rechnung fehlt eine Adresse.\n"
                 "Bitte erst eine Adresse anlegen !");
      return SaleEnd::Kept;
    }
    const std::string chosen = chooseCashCustomer ? chooseCashCustomer(names) : std::string();
    if (chosen.empty() || !SaveCashCustomer(app_, chosen) ||
        (position = FindCashCustomer(app_)) < 0) {
      Tell(app_, "Für den Verkauf ohne Rechnung ist kein Barkunde gewählt.\n"
                 "Bitte eine Adresse als Barkunden wählen !");
      return SaleEnd::Kept;
    }
  }
  return bookFor(position, "Der Barkunde ist nicht mehr vorhanden.", "Wirklich buchen ?", false);
}

SaleEnd CashSale::bookGoodsReceipt() {
  return bookFor(1,
                 "Für den Warenzugang fehlt die zweite Adresse (Lieferant).\n"
                 "Bitte erst eine Adresse anlegen !",
                 "Wirklich Warenzugang buchen ?", true);
}

SaleEnd CashSale::bookWithDocument(const std::function<SaleDocument()>& chooseDocument,
                                   const PrintJobCall& printJob) {
  if (refuseEmpty("Drucken lohnt nicht.\nEs sind keine Artikel eingetragen!"))
    return SaleEnd::Kept;
  if (!Ask(app_, "Wirklich buchen mit Ausdruck ?")) return SaleEnd::Kept;
  const SaleDocument document = chooseDocument ? chooseDocument() : SaleDocument{};
  if (!document.chosen) return SaleEnd::Kept;
  // Refused before the sale is stored, so that no number is used up.
  if (RefusedWithoutPriceSettings(app_, document.kind)) return SaleEnd::Kept;
  // The customer as his address is on file (the dialog has stored what it
  // showed), and his record offset from the index: the document prints what
  // every reprint and list will read.
  store::AddressRecord onFile{};
  std::int32_t offset = -1;
  if (!customerAt(app_.addresses.position, onFile, offset)) {
    Tell(app_, "Bitte erst eine Adresse anlegen !");
    return SaleEnd::Kept;
  }
  // The goods have gone over the counter: the sale is stored as delivered.
  // It becomes an invoice, with its date, only once the invoice is really
  // out; a printer dialog cancelled leaves a delivered order to invoice later.
  if (!storeSale(onFile, offset, store::kOrderDeliveryNotePrinted, false, document.paid))
    return SaleEnd::Kept;
  std::string printDate = FormatDate(*app_.clock);
  IssueDocument(app_, document.kind, document.copies, printDate, printJob);
  return SaleEnd::Printed;
}

}  // namespace orders
