#include "orders/order_editor.h"

#include <algorithm>
#include <cstring>

#include "core/decimal.h"
#include "store/load_parameters.h"
#include "core/user_interface.h"
#include "core/dates.h"
#include "platform/cp1252.h"
#include "store/numbering.h"
#include "orders/cancellation.h"
#include "orders/issue_statement.h"
#include "orders/order_math.h"
#include "store/article_file.h"
#include "store/data_file.h"
#include "store/discount_file.h"
#include "store/indexed_file.h"
#include "store/order_file.h"
#include "store/order_framing.h"
#include "store/order_kinds.h"
#include "store/text_field.h"

namespace orders {

namespace {

constexpr const char* kOrderFull =
    "Der Auftrag ist voll: mehr als 369 Positionen sind nicht möglich.";

// The dunning level the order has on file now: a dunning run may have
// raised it since the pane read the order. 0 when it is not on file.
int DunningLevelOnFile(frame::AppState& app, std::int32_t number) {
  store::IndexBlock block;
  {
    platform::File index = store::OpenData(app, store::kOrderIndexName, platform::Access::Read,
                                           platform::Share::DenyWrite);
    if (!index || !store::OrderFile(app).ReadIndex(index, block)) return 0;
  }
  platform::File data = store::OpenData(app, store::kOrderDataName, platform::Access::Read,
                                        platform::Share::DenyWrite);
  store::OrderHead head{};
  for (std::int32_t i = 0; data && i < block.count; ++i)
    if (block.orderNumber(i) == number &&
        store::ReadOrderHead(data, block.recordOffset(i), head) &&
        head.length > offsetof(store::OrderHead, dunningLevel))
      return head.dunningLevel;
  return 0;
}

constexpr std::uint16_t kPriceFlags = store::kOrderPricesIncludeTax | store::kOrderGrossAsNet;

// A collective invoice and the delivery notes it bills stay as they were
// billed: neither is changed nor deleted.
bool RefuseCollective(frame::AppState& app, const store::OrderHead& head, const char* done) {
  if (!(head.flags & (store::kOrderCollectiveInvoice | store::kOrderCollectivelyBilled)))
    return false;
  if (app.ui)
    app.ui->message(head.flags & store::kOrderCollectiveInvoice
                        ? frame::Format("Eine Sammelrechnung kann nicht %s werden.", done)
                        : frame::Format("Dieser Auftrag ist mit einer Sammelrechnung berechnet\n"
                                        "und kann nicht %s werden.",
                                        done),
                    frame::Icon::Stop);
  return true;
}

}  // namespace

OrderEditor::OrderEditor(frame::AppState& app) : app_(app) {
  // The line table starts zero-filled; an edited line nobody has touched
  // yet is a blank one, which refers to no article (not to offset 0).
  static const store::OrderLine untouched{};
  if (std::memcmp(&editedLine(), &untouched, sizeof untouched) == 0)
    editedLine() = BlankOrderLine();
}

void OrderEditor::refreshTotal() {
  // An issued invoice shows the amount it stated, with the rates of its issue.
  totalText_ = RefreshOrderTotal(app_.order, app_.orderLines, ParametersOfOrder(app_, app_.order),
                                 app_.figures);
}

void OrderEditor::clearEditedLine() {
  if (store::GetText(editedLine().articleNumber).empty()) return;
  editedLine() = BlankOrderLine();
  rememberArticle();
}

void OrderEditor::rememberArticle() {
  const store::OrderLine& line = editedLine();
  article_ = {line.articleRef, std::string(store::GetText(line.articleNumber))};
}

void OrderEditor::articleNumberTyped() {
  // A line keeps its article only while it names it; any other number typed
  // by hand is a line without article, which booking and the discount file
  // leave alone.
  store::OrderLine& line = editedLine();
  line.articleRef = article_.second == store::GetText(line.articleNumber) ? article_.first
                                                                          : kNoArticle;
}

bool OrderEditor::refuseFull() {
  if (lineCount() < static_cast<int>(store::kMaxOrderLines)) return false;
  if (app_.ui) app_.ui->message(kOrderFull, frame::Icon::Stop);
  return true;
}

void OrderEditor::newOrder() {
  if (app_.addresses.lastIndex < 0) {
    // An order belongs to a customer; without any address there is none.
    if (app_.ui) app_.ui->message("Bitte erst eine Adresse anlegen !", frame::Icon::Stop);
    return;
  }
  store::OrderHead head = NewOrderHead(app_);
  head.stored = 0;
  app_.order = head;
  app_.orderAddress = app_.address;
  changed_ = false;
  selection_ = -1;
  clearEditedLine();
  refreshTotal();
}

void OrderEditor::takeOverArticle() {
  if (app_.articles.lastIndex < 0) return;
  const store::ArticleRecord& article = app_.article;
  store::OrderLine& line = editedLine();
  line.quantity = 1;
  store::SetText(line.articleNumber, store::GetText(article.number));
  store::SetText(line.description1, store::GetText(article.designation));
  store::SetText(line.description2, store::GetText(article.remark1));
  store::SetText(line.longText, store::GetText(article.remark2));
  store::SetText(line.unit, store::GetText(article.unit));
  line.salePrice = ConvertPriceOnTakeOver(article.price1, article.currency, app_.order.currency,
                                          app_.parameters);
  line.costPrice = ConvertPriceOnTakeOver(article.purchasePrice, article.currency,
                                          app_.order.currency, app_.parameters);
  line.flags = 0;
  const auto articleRef = static_cast<std::int32_t>(app_.articles.entry.offset);
  line.discount = store::LookupDiscount(app_, app_.order.customerRef, articleRef);
  line.articleRef = articleRef;
  line.orderNumber = static_cast<std::int32_t>(app_.nextOrderNumber);
  line.taxCode = TaxCodeFromArticle(article);
  rememberArticle();
}

void OrderEditor::markField(int id, bool valid, const std::string& refusal) {
  std::erase_if(invalid_, [id](const auto& mark) { return mark.first == id; });
  if (!valid) invalid_.emplace_back(id, refusal);
}

bool OrderEditor::refuseInvalidField() {
  refusedField_ = 0;
  if (invalid_.empty()) return false;
  refusedField_ = invalid_.front().first;
  if (app_.ui) app_.ui->message(invalid_.front().second, frame::Icon::Stop);
  return true;
}

bool OrderEditor::setOrderDate(std::string_view text) {
  const std::string date = EnteredDate(text);
  markField(kOrderDateField, !date.empty(), kInvalidOrderDate);
  if (!date.empty()) store::SetText(app_.order.orderDate, date);
  return !date.empty();
}

bool OrderEditor::appendLine() {
  if (RefuseIssuedChange(app_, app_.order, "geändert")) return false;
  if (refuseInvalidField() || refuseFull()) return false;
  const int count = lineCount() + 1;
  if (editedLine().taxCode == 0) editedLine().taxCode = store::kTaxCodeRate2;
  app_.order.lineCount = static_cast<std::int16_t>(count);
  app_.orderLines[count] = editedLine();
  selection_ = count - 1;
  changed_ = true;
  refreshTotal();
  clearEditedLine();
  return true;
}

bool OrderEditor::insertLine() {
  if (store::GetText(editedLine().articleNumber).empty()) return false;
  if (RefuseIssuedChange(app_, app_.order, "geändert")) return false;
  if (refuseInvalidField() || refuseFull()) return false;
  const int count = lineCount() + 1;
  // Slot of the new line: before the selected entry, else at the end.
  int slot = selection_ < 0 || selection_ >= count - 1 ? count : selection_ + 1;
  for (int i = count; i > slot; --i) app_.orderLines[i] = app_.orderLines[i - 1];
  // A line without tax class would count nowhere: it gets the second rate,
  // as an appended one does.
  if (editedLine().taxCode == 0) editedLine().taxCode = store::kTaxCodeRate2;
  app_.orderLines[slot] = editedLine();
  app_.order.lineCount = static_cast<std::int16_t>(count);
  // The entry that was selected moves down with the insert and stays selected.
  if (selection_ >= 0 && selection_ < count - 1) ++selection_;
  changed_ = true;
  refreshTotal();
  clearEditedLine();
  return true;
}

void OrderEditor::removeLine(int index) {
  const int count = lineCount();
  if (index < 0 || index >= count) return;
  for (int i = index + 1; i < count; ++i) app_.orderLines[i] = app_.orderLines[i + 1];
  app_.orderLines[count] = BlankOrderLine();
  app_.order.lineCount = static_cast<std::int16_t>(count - 1);
  changed_ = true;
  refreshTotal();
}

void OrderEditor::deleteLine() {
  if (booked() || selection_ < 0 || selection_ >= lineCount()) return;
  if (RefuseIssuedChange(app_, app_.order, "geändert")) return;
  removeLine(selection_);
  if (selection_ >= lineCount()) selection_ = -1;
}

bool OrderEditor::editLine(int index) {
  if (booked() || index < 0 || index >= lineCount()) return false;
  if (RefuseIssuedChange(app_, app_.order, "geändert")) return false;
  editedLine() = app_.orderLines[index + 1];
  rememberArticle();
  removeLine(index);
  selection_ = index < lineCount() ? index : -1;
  changed_ = true;
  // The article of the line becomes the article pane's current one; its
  // search criteria stay as they were.
  const store::ArticleRecord criteria = app_.articleCriteria;
  store::ArticleRecord key{};
  store::SetText(key.number, store::GetText(editedLine().articleNumber));
  std::int32_t position = -1;
  bool found = false;
  if (!store::GetText(key.number).empty() && store::FindArticleByNumber(app_, key, position)) {
    store::ArticleRecord article{};
    if (store::ReadArticle(app_, article, position)) {
      app_.article = article;
      app_.articles.position = position;
      found = true;
    }
  }
  app_.articleCriteria = criteria;
  return found;
}

void OrderEditor::saveIssued(store::OrderHead& head) {
  // An issued invoice keeps what it stated; of what the pane edits only its
  // dunning level may still change, and never below the level on file.
  store::OrderHead stored{};
  std::vector<store::OrderLine> lines(store::kOrderLineSlots);
  const std::vector<store::OrderLine> kept = app_.orderLines;
  const int read = store::ReadOrder(app_, stored, app_.orders.position);
  std::copy(app_.orderLines.begin() + 1, app_.orderLines.end(), lines.begin() + 1);
  app_.orderLines = kept;
  const auto sameText = [](const auto& a, const auto& b) {
    return store::GetText(a) == store::GetText(b);
  };
  bool same = read == 1 && stored.orderNumber == head.orderNumber &&
              stored.lineCount == head.lineCount && stored.customerRef == head.customerRef &&
              stored.currency == head.currency && stored.paymentPeriod == head.paymentPeriod &&
              stored.cashDiscount == head.cashDiscount &&
              stored.cashDiscountPeriod == head.cashDiscountPeriod &&
              sameText(stored.orderDate, head.orderDate) &&
              (stored.flags & kPriceFlags) == (head.flags & kPriceFlags);
  for (int i = 1; same && i <= head.lineCount; ++i)
    same = std::memcmp(&lines[static_cast<std::size_t>(i)], &app_.orderLines[static_cast<std::size_t>(i)],
                       sizeof(store::OrderLine)) == 0;
  if (!same) {
    RefuseIssuedChange(app_, head, "geändert");
    return;
  }
  const std::uint8_t level = head.dunningLevel;
  store::OrderHead written{};
  if (!store::ChangeOrderHead(app_, head.orderNumber,
                              [level](store::OrderHead& onFile) {
                                onFile.dunningLevel = std::max(onFile.dunningLevel, level);
                                return true;
                              },
                              &written)) {
    if (app_.ui) app_.ui->message("Der Auftrag konnte nicht gespeichert werden.", frame::Icon::Stop);
    return;
  }
  app_.order = written;
  changed_ = false;
}

bool OrderEditor::storeAgain(store::OrderHead& head) {
  // The order is appended under its number and its new entry takes the
  // place of the old one in one write of the index, found there by its
  // number (another copy may have moved it since the order was read): a
  // store that fails or is cut short leaves the old entry as it was.
  std::int32_t position = app_.orders.position;
  return store::StoreOrder(app_, head, position, store::StoreMode::SameNumber) != 0;
}

void OrderEditor::save(bool confirmed) {
  store::OrderHead& head = app_.order;
  if (refuseInvalidField()) return;
  // A line taken over shows in the total's fields but is not in the order:
  // saving without it would lose it unseen.
  if (lineWaiting() && app_.ui) {
    const std::string text = frame::Format(
        "Die Position „%s“ ist noch nicht angefügt.\nVor dem Speichern anfügen?",
        platform::Cp1252ToUtf8(store::GetText(editedLine().articleNumber)).c_str());
    switch (app_.ui->ask(text, frame::Icon::Question)) {
      case frame::UserInterface::Choice::Cancel: return;
      case frame::UserInterface::Choice::No: break;
      case frame::UserInterface::Choice::Yes:
        if (!appendLine()) return;
        break;
    }
  }
  if (lineCount() == 0) {
    if (app_.ui)
      app_.ui->message("Speichern lohnt nicht !\nEs sind keine Artikel eingetragen!",
                       frame::Icon::Stop);
    return;
  }
  if (head.orderNumber == 0) {
    if (app_.ui) app_.ui->message("Erst neuen Auftrag anlegen !", frame::Icon::Stop);
    return;
  }
  // A total beyond the record would be stored clamped, unlike what the
  // paper states.
  if (const std::string refusal = AmountsBeyondRecord(head, app_.orderLines, app_.parameters);
      !refusal.empty()) {
    if (app_.ui) app_.ui->message(refusal, frame::Icon::Stop);
    return;
  }
  // Its lines are billed as they stand: storing again would also renumber
  // the lines of a collective invoice, which name their delivery notes.
  if (RefuseCollective(app_, head, "geändert")) return;
  if (dunningLevel_) head.dunningLevel = static_cast<std::uint8_t>(dunningLevel_());
  if (head.stored == 1 && IssuedAsInvoice(head)) {
    saveIssued(head);
    return;
  }
  // Saving never lowers the level a dunning run stored meanwhile.
  if (head.stored == 1)
    head.dunningLevel = static_cast<std::uint8_t>(
        std::max<int>(head.dunningLevel, DunningLevelOnFile(app_, head.orderNumber)));
  bool stored = false;
  bool asked = false;
  if (head.stored == 1) {
    asked = confirmed ||
            (app_.ui && app_.ui->question("Auftrag ändern ?", frame::Icon::Question, false));
    if (asked) {
      changed_ = false;
      stored = storeAgain(head);
    }
  } else {
    asked = confirmed ||
            (app_.ui && app_.ui->question("Auftrag speichern ?", frame::Icon::Question, false));
    if (asked) {
      changed_ = false;
      head.stored = 1;
      std::int32_t position = -1;
      stored = store::StoreOrder(app_, head, position, store::StoreMode::NewNumber);
      if (!stored) head.stored = 0;
    }
  }
  if (asked && !stored) {
    // Nothing may look saved that is not: the order stays changed, and a
    // second attempt stores it again.
    changed_ = true;
    if (app_.ui) app_.ui->message("Der Auftrag konnte nicht gespeichert werden.", frame::Icon::Stop);
  }
  for (int i = 1; i <= lineCount(); ++i) store::AppendDiscount(app_, app_.orderLines[i]);
}

void OrderEditor::loadAt(std::int32_t position) {
  store::OrderHead head{};
  if (!store::ReadOrder(app_, head, position)) return;
  app_.order = head;
  app_.orders.position = position;
  changed_ = false;
  selection_ = lineCount() - 1;
}

void OrderEditor::deleteOrder() {
  store::OrderHead& head = app_.order;
  if (head.stored == 0) {
    if (app_.ui)
      app_.ui->message("Dieser Auftrag ist noch nicht gespeichert.\nLöschen ist nicht möglich.",
                       frame::Icon::Stop);
  } else if (app_.orders.lastIndex < 0) {
    if (app_.ui)
      app_.ui->message("Löschen ist nicht möglich.\nKeine Daten vorhanden!", frame::Icon::Stop);
  } else if (!RefuseCollective(app_, head, "gelöscht") &&
             !RefuseIssuedChange(app_, head, "gelöscht")) {
    if ((head.flags & store::kOrderDeliveryNotePrinted) &&
        !(head.flags & store::kOrderInvoicePrinted) && app_.ui)
      app_.ui->message("ACHTUNG !\nDieser Auftrag ist noch offen!\n(Keine Rechnung gedruckt)",
                       frame::Icon::Stop);
    if (app_.ui && app_.ui->question("Auftrag löschen ?", frame::Icon::Question, true)) {
      store::OrderHead criteria{};
      criteria.orderNumber = head.orderNumber;
      std::int32_t at = -1;
      if (store::FindOrder(app_, criteria, at, true)) store::DeleteOrderEntry(app_, at);
      const std::int32_t customer = head.customerRef;
      store::OrderHead empty{};
      empty.customerRef = customer;
      app_.order = empty;
      selection_ = -1;
      changed_ = false;
      if (app_.orders.lastIndex >= 0) {
        store::OrderHead next{};
        next.customerRef = customer;
        std::int32_t position = -1;
        if (store::FindOrder(app_, next, position, true)) loadAt(position);
      }
      refreshTotal();
    }
  }
  clearEditedLine();
}

void OrderEditor::browse(bool forward) {
  if (app_.orders.lastIndex >= 0) {
    store::OrderHead criteria{};
    criteria.customerRef = app_.order.customerRef;
    std::int32_t position = app_.orders.position;
    if (store::FindOrder(app_, criteria, position, forward)) {
      loadAt(position);
      refreshTotal();
    }
  }
  clearEditedLine();
}

void OrderEditor::customerChanged() {
  store::OrderHead head{};
  if (app_.addresses.lastIndex >= 0)
    head.customerRef = static_cast<std::int32_t>(app_.addresses.entry.offset);
  app_.order = head;
  app_.orderAddress = app_.address;
  selection_ = -1;
  changed_ = false;
  if (app_.addresses.lastIndex >= 0 && app_.orders.lastIndex >= 0) {
    const std::int32_t remembered = app_.orders.position;
    store::OrderHead criteria{};
    criteria.customerRef = head.customerRef;
    std::int32_t position = app_.orders.lastIndex + 1;
    if (store::FindOrder(app_, criteria, position, false))
      loadAt(position);
    else
      app_.orders.position = remembered;
  }
  totalText_ = frame::Amount(app_.figures, app_.order.total / 100.0);
  clearEditedLine();
}

bool OrderEditor::print(const std::function<void()>& printDialog) {
  if (refuseInvalidField()) return false;
  if (app_.order.stored == 0 || changed_) save();
  if (app_.order.stored == 0) {
    if (app_.ui)
      app_.ui->message(
          "Dieser Auftrag wurde noch nicht gespeichert.\nBitte vor dem Drucken erst speichern !",
          frame::Icon::Stop);
    clearEditedLine();
    return false;
  }
  if (changed_) {
    // The changes were not saved: the document shows the order as it is
    // stored, and printing, which stores the order in place, never writes a
    // longer order over its old record.
    reload();
    if (app_.ui)
      app_.ui->message("Die Änderungen wurden nicht gespeichert.\n"
                       "Gedruckt wird der Auftrag, wie er gespeichert ist.",
                       frame::Icon::Information);
  }
  if (lineCount() == 0) {
    if (app_.ui)
      app_.ui->message("Drucken lohnt nicht.\nEs sind keine Artikel eingetragen!",
                       frame::Icon::Stop);
    clearEditedLine();
    return false;
  }
  if (printDialog) printDialog();
  reload();
  clearEditedLine();
  return true;
}

void OrderEditor::reload() {
  loadAt(app_.orders.position);
  refreshTotalText();
}

void OrderEditor::refreshTotalText() {
  totalText_ = frame::Amount(app_.figures, app_.order.total / 100.0);
}

void OrderEditor::setQuantity(double quantity, bool quantityHasFocus) {
  store::OrderLine& line = editedLine();
  line.quantity = quantity;
  if (quantity == 0 || !quantityHasFocus) return;
  const store::ArticleRecord& article = app_.article;
  // A typed price, a special price or another article's line keeps its price.
  if (app_.articles.lastIndex < 0 || (line.flags & store::kLineSpecialPrice) ||
      store::GetText(line.articleNumber).empty() ||
      store::GetText(line.articleNumber) != store::GetText(article.number))
    return;
  line.salePrice = ConvertPrice(PriceForQuantity(article, quantity), article.currency,
                                app_.order.currency, app_.parameters);
}

}  // namespace orders
