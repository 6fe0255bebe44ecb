// What the order pane does with the current order, apart from showing it:
// lines appended, inserted, removed and taken back for editing, an article
// taken over, the order created, saved, deleted, browsed and reloaded when
// the customer changes. Works on the AppState (the current order head, the
// line table with slot 0 as the edited line, the order address) and talks to
// the user through its UserInterface, so it runs without a screen.
#ifndef BELVON_ORDERS_ORDER_EDITOR_H
#define BELVON_ORDERS_ORDER_EDITOR_H

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/app_state.h"
#include "store/text_field.h"

namespace orders {

// The article reference of a line typed without an article.
inline constexpr std::int32_t kNoArticle = -1;

// An empty line as the editors start one: it refers to no article, so that
// nothing typed into it is ever booked or remembered for the article at
// offset 0.
inline store::OrderLine BlankOrderLine() {
  store::OrderLine line{};
  line.articleRef = kNoArticle;
  return line;
}

class OrderEditor {
 public:
  explicit OrderEditor(frame::AppState& app);

  store::OrderHead& head() { return app_.order; }
  store::OrderLine& editedLine() { return app_.orderLines[0]; }
  int lineCount() const { return app_.order.lineCount; }
  bool changed() const { return changed_; }
  int selection() const { return selection_; }
  void select(int index) { selection_ = index; }
  bool booked() const { return app_.order.flags & store::kOrderBooked; }
  // "Rechnungsbetrag" as last computed.
  const std::string& totalText() const { return totalText_; }

  // "&Neu": a new order for the selected customer, with the next number shown.
  void newOrder();
  // "Übernahme": the current article into the edited line.
  void takeOverArticle();
  // "Anfügen"; false when the order is full (the user is told).
  bool appendLine();
  // "Einfügen" before the selected entry (at the end without a selection).
  bool insertLine();
  // "Löschen" of the selected line.
  void deleteLine();
  // Double click: the line goes back into the edited line. Returns the
  // article number it had, for the article pane to look up.
  bool editLine(int index);
  // "&Speichern", with its checks and questions; `confirmed` when the user
  // has already said Yes to saving (before the customer changes). A line
  // waiting in the edited line is offered for appending first.
  void save(bool confirmed = false);
  // A new order with lines, or a stored one changed since: work that
  // replacing the order in memory would lose.
  bool unsavedWork() const {
    return (app_.order.lineCount > 0 || lineWaiting()) &&
           (app_.order.stored == 0 ? app_.order.orderNumber != 0 : changed_ || lineWaiting());
  }
  // The edited line holds an article that is not in the order yet: taken
  // over or typed, and neither appended nor cleared.
  bool lineWaiting() const { return !store::GetText(app_.orderLines[0].articleNumber).empty(); }
  // "Löschen" of the whole order, with its checks and questions.
  void deleteOrder();
  // "<" and ">": the previous or next order of this customer.
  void browse(bool forward);
  // Command 9999: the selected customer's newest order.
  void customerChanged();
  // "&Drucken": saves first where needed, then runs `printDialog`; false
  // when printing was refused.
  bool print(const std::function<void()>& printDialog);
  // Reads the order at the current index position again (after printing).
  void reload();

  // The edited line is cleared only when it holds an article number; a
  // cleared line refers to no article.
  void clearEditedLine();
  // The article number of the edited line was typed: the line refers to the
  // article it was taken from only while it carries that article's number.
  void articleNumberTyped();
  void refreshTotal();
  // "Rechnungsbetrag" again from the order's total as it stands: after the
  // order changed outside the editor, or the figure style did.
  void refreshTotalText();

  // The field edits of the pane. A typed quantity re-prices the line from
  // the article file only for the line's own article (the one the article
  // pane shows) and only when the line has no special price.
  void setQuantity(double quantity, bool quantityHasFocus);
  // "Auftragsdatum": only a real date is taken; anything else leaves the
  // last valid date and marks the field (see below).
  bool setOrderDate(std::string_view text);

  // A field whose text is no valid value keeps the value it had and is
  // marked with the message that names it: saving, printing, appending and
  // inserting are refused with that message while a mark stands. The pane
  // clears the marks whenever it shows the order's values again.
  void markField(int id, bool valid, const std::string& refusal);
  void clearFieldMarks() {
    invalid_.clear();
    refusedField_ = 0;
  }
  // The field the last refusal named (for the focus), 0 for none.
  int refusedField() const { return refusedField_; }
  // Where saving reads the dunning level ("Mahnstufe"): the pane's field.
  // Saving takes it once its checks have passed, also when printing saves,
  // but never below the level the order has on file by then.
  void setDunningLevelSource(std::function<int()> source) { dunningLevel_ = std::move(source); }

 private:
  void loadAt(std::int32_t position);
  void removeLine(int index);
  bool refuseFull();
  bool refuseInvalidField();
  bool storeAgain(store::OrderHead& head);
  void saveIssued(store::OrderHead& head);
  void rememberArticle();

  frame::AppState& app_;
  bool changed_ = false;
  int selection_ = -1;  // list entry, 0-based
  std::string totalText_ = "0.00";
  std::function<int()> dunningLevel_;
  std::vector<std::pair<int, std::string>> invalid_;
  int refusedField_ = 0;
  // The article the edited line was taken from: reference and number.
  std::pair<std::int32_t, std::string> article_{kNoArticle, {}};
};

// The id of the order date field and what refuses a date that is none.
inline constexpr int kOrderDateField = 2089;
inline constexpr const char* kInvalidOrderDate =
    "Das Auftragsdatum ist kein gültiges Datum.\nBitte ein Datum wie 05.12.2026 eingeben.";

}  // namespace orders

#endif  // BELVON_ORDERS_ORDER_EDITOR_H
