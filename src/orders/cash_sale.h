// A sale at the cash desk: lines typed or found by the article search are
// added one by one, then the whole sale is booked in one step, without a
// document (for the cash customer, see cash_customer.h), with an invoice or
// delivery note for a chosen customer, or as a goods receipt of the second
// address (the supplier side, every quantity negated; it moves stock and is
// no sale). Works on the
// current order head and line table of the AppState like the order editor,
// whose line handling it shares.
//
// The running total is worked out with the gross-price settings of the
// master data from the first line on, and every booking keeps them: the
// amount the customer is shown while the lines are typed is the amount that
// is booked and printed.
#ifndef BELVON_ORDERS_CASH_SALE_H
#define BELVON_ORDERS_CASH_SALE_H

#include <functional>
#include <string>
#include <vector>

#include "store/app_state.h"
#include "orders/cash_customer.h"
#include "orders/issuing.h"
#include "orders/order_editor.h"

namespace orders {

// What the customer dialog of a booking with document gave.
struct SaleDocument {
  bool chosen = false;  // false: left without a document
  DocumentKind kind = DocumentKind::Invoice;
  int copies = 1;
  bool paid = false;  // "Betrag wurde bezahlt"
};

enum class SaleEnd {
  Kept,     // refused or declined: the sale stays as it is
  Booked,   // stored; the caller starts the next sale
  Printed,  // stored and handed to the print job, whose notice starts the next sale
};

class CashSale {
 public:
  explicit CashSale(frame::AppState& app);

  OrderEditor& editor() { return editor_; }
  store::OrderLine& editedLine() { return editor_.editedLine(); }
  int lineCount() const { return editor_.lineCount(); }

  // The next sale: no lines, the edited line empty.
  void startNew();
  // The current article (chosen in the article search) into the edited line.
  void takeArticle();
  // "&Hinzufügen": the edited line, when it has an article number, is looked
  // up in the article file by that number; an unknown number may be created
  // as a new article ("Artikel neu anlegen ?"). The line refers to the
  // article it names, or to none when it stays unknown.
  bool add();

  // The three booking buttons, each with its question first. While no cash
  // customer is chosen, booking without invoice first asks for one:
  // `chooseCashCustomer` gets the addresses to choose from and gives the
  // name line 2 of the one chosen (empty: cancelled, the sale is kept); the
  // choice is stored.
  using CashCustomerChoice =
      std::function<std::string(const std::vector<CashCustomerCandidate>&)>;
  SaleEnd bookWithoutInvoice(const CashCustomerChoice& chooseCashCustomer = {});
  SaleEnd bookGoodsReceipt();
  SaleEnd bookWithDocument(const std::function<SaleDocument()>& chooseDocument,
                           const PrintJobCall& printJob);

 private:
  bool refuseEmpty(const char* text);
  bool customerAt(std::int32_t position, store::AddressRecord& customer, std::int32_t& offset);
  SaleEnd bookFor(std::int32_t position, const char* missing, const char* question,
                  bool goodsReceipt);
  bool storeSale(const store::AddressRecord& customer, std::int32_t offset, std::uint16_t flags,
             bool goodsReceipt, bool paid);
  std::uint16_t grossFlags() const;

  frame::AppState& app_;
  OrderEditor editor_;
};

}  // namespace orders

#endif  // BELVON_ORDERS_CASH_SALE_H
