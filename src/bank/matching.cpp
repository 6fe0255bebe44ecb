#include "bank/matching.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "bank/invoice_numbers.h"
#include "bank/statement_text.h"
#include "core/dates.h"
#include "orders/cash_discount.h"
#include "orders/payments.h"
#include "store/issue_record.h"
#include "store/text_field.h"

namespace bank {

namespace {

constexpr std::array<std::string_view, 24> kNoNames = {
    "gmbh", "mbh", "und", "co", "kg", "ag", "ohg", "gbr", "ug", "haftungsbeschraenkt",
    "herr", "herrn", "frau", "firma", "fa", "dr", "ltd", "inc", "sarl", "bv",
    "ek", "ev", "the", "eg"};

bool IsCreditNote(const OpenItem& item) { return item.head.total < 0; }

// The cash discount a payment on `date` may still deduct; 0 when none.
std::int64_t DiscountOn(const OpenItem& item, const std::string& date) {
  const store::OrderHead& head = item.head;
  if (head.cashDiscount <= 0 || head.cashDiscountTaken || head.total <= 0) return 0;
  if (!orders::InCashDiscountPeriod(head, date)) return 0;
  return orders::CashDiscountAmount(head.total, head.cashDiscount);
}

// The payment that settles an item on `date` with `cents`: the open amount,
// or the open amount less the discount within the period.
bool Settles(const OpenItem& item, std::int64_t cents, const std::string& date, bool& discount) {
  const std::int64_t open = OpenAmount(item.head);
  if (open == 0) return false;
  if (cents == open) {
    discount = false;
    return true;
  }
  const std::int64_t less = DiscountOn(item, date);
  if (less != 0 && cents == open - less) {
    discount = true;
    return true;
  }
  return false;
}

}  // namespace

std::int64_t OpenAmount(const store::OrderHead& head) {
  return std::int64_t{head.total} - head.paid;
}

std::vector<std::string> NameTokens(std::string_view utf8) {
  std::vector<std::string> tokens;
  const std::string folded = FoldedName(utf8);
  std::size_t at = 0;
  while (at < folded.size()) {
    std::size_t end = folded.find(' ', at);
    if (end == std::string::npos) end = folded.size();
    std::string word = folded.substr(at, end - at);
    at = end + 1;
    if (word.size() < 3) continue;
    if (std::find(kNoNames.begin(), kNoNames.end(), word) != kNoNames.end()) continue;
    if (std::find(tokens.begin(), tokens.end(), word) == tokens.end()) tokens.push_back(word);
  }
  return tokens;
}

Matcher::Matcher(Ledger ledger) : ledger_(std::move(ledger)) {
  tokens_.resize(ledger_.items.size());
  byNumber_.reserve(ledger_.items.size());
  for (std::size_t i = 0; i < ledger_.items.size(); ++i) {
    const OpenItem& item = ledger_.items[i];
    byNumber_.emplace(item.head.orderNumber, i);
    if (item.head.orderNumber >= 100'000'000)
      bySequence_[item.head.orderNumber % 1'000'000].push_back(i);
    const std::int64_t open = OpenAmount(item.head);
    if (open != 0) {
      byAmount_.emplace(open, i);
      if (item.head.cashDiscount > 0 && !item.head.cashDiscountTaken && item.head.total > 0)
        byAmount_.emplace(open - orders::CashDiscountAmount(item.head.total, item.head.cashDiscount), i);
    }
    tokens_[i] = NameTokens(item.customer);
    for (const std::string& token : tokens_[i]) byToken_[token].push_back(i);
  }
}

const OpenItem* Matcher::item(std::int32_t number) const {
  const auto found = byNumber_.find(number);
  return found == byNumber_.end() ? nullptr : &ledger_.items[found->second];
}

bool Matcher::nameFits(const OpenItem& item, const std::vector<std::string>& tokens) const {
  const std::vector<std::string>& own = tokens_[static_cast<std::size_t>(&item - ledger_.items.data())];
  for (const std::string& word : own)
    if (std::find(tokens.begin(), tokens.end(), word) != tokens.end()) return true;
  return false;
}

std::vector<std::size_t> Matcher::mentioned(const Transaction& t,
                                            std::vector<std::int32_t>& notIssued) const {
  std::vector<std::size_t> found;
  auto add = [&found](std::size_t i) {
    if (std::find(found.begin(), found.end(), i) == found.end()) found.push_back(i);
  };
  for (const std::string* source : {&t.text, &t.endToEnd}) {
    for (const NumberMention& mention : NumberMentions(*source)) {
      bool known = false;
      for (std::int32_t number : NumbersMeant(mention)) {
        if (const auto it = byNumber_.find(number); it != byNumber_.end()) {
          add(it->second);
          known = true;
          break;
        }
        if (ledger_.unissued.count(number) &&
            std::find(notIssued.begin(), notIssued.end(), number) == notIssued.end()) {
          notIssued.push_back(number);
          known = true;
          break;
        }
      }
      // "Rechnung 120001": only when one invoice of any year has it.
      if (!known) {
        const std::int32_t sequence = MentionedSequence(mention);
        if (const auto it = bySequence_.find(sequence); sequence >= 0 && it != bySequence_.end() &&
                                                         it->second.size() == 1)
          add(it->second.front());
      }
    }
  }
  return found;
}

MatchResult Matcher::match(const Transaction& t) {
  MatchResult result;
  if (t.cents == 0) {
    result.reason = "Betrag 0";
  } else if (t.reversal) {
    // A returned debit or a cancelled booking undoes an earlier one: what it
    // means for an invoice is the user's to say.
    result.reason = "Rückbuchung";
    std::vector<std::int32_t> ignored;
    for (std::size_t i : mentioned(t, ignored)) result.candidates.push_back(ledger_.items[i].head.orderNumber);
    result.action = result.candidates.empty() ? Action::Unmatched : Action::Proposed;
    result.notIssued = ignored;
    return result;
  } else {
    result = t.cents > 0 ? credit(t) : debit(t);
  }
  if (result.action == Action::Booked) apply(result);
  return result;
}

void Matcher::apply(const MatchResult& result) {
  for (const Allocation& a : result.allocations) {
    const auto it = byNumber_.find(a.order);
    if (it == byNumber_.end()) continue;
    store::OrderHead& head = ledger_.items[it->second].head;
    std::int64_t discount = 0;
    if (a.cashDiscount && !head.cashDiscountTaken)
      discount = orders::CashDiscountAmount(head.total, head.cashDiscount);
    head.paid = static_cast<std::int32_t>(head.paid + a.cents + discount);
    if (a.cashDiscount) head.cashDiscountTaken = 1;
  }
}

MatchResult Matcher::credit(const Transaction& t) {
  MatchResult result;
  const std::vector<std::size_t> named = mentioned(t, result.notIssued);
  std::vector<std::size_t> open;
  for (std::size_t i : named) {
    const OpenItem& item = ledger_.items[i];
    if (!IsCreditNote(item) && OpenAmount(item.head) > 0 && item.currency == t.currency)
      open.push_back(i);
  }
  if (open.size() == 1) {
    const OpenItem& item = ledger_.items[open.front()];
    bool discount = false;
    Settles(item, t.cents, t.bookingDate, discount);
    result.action = Action::Booked;
    result.allocations.push_back({item.head.orderNumber, t.cents, discount});
    result.reason = "Rechnungsnummer";
    return result;
  }
  if (open.size() > 1) {
    // Several invoices in one transfer: booked when it pays all of them,
    // each with or each without its cash discount.
    for (bool discount : {false, true}) {
      std::int64_t sum = 0;
      bool every = true;
      for (std::size_t i : open) {
        const OpenItem& item = ledger_.items[i];
        const std::int64_t less = discount ? DiscountOn(item, t.bookingDate) : 0;
        if (discount && less == 0) every = false;
        sum += OpenAmount(item.head) - less;
      }
      if (every && sum == t.cents) {
        result.action = Action::Booked;
        for (std::size_t i : open) {
          const OpenItem& item = ledger_.items[i];
          const std::int64_t less = discount ? DiscountOn(item, t.bookingDate) : 0;
          result.allocations.push_back({item.head.orderNumber, OpenAmount(item.head) - less, discount});
        }
        result.reason = "Rechnungsnummern";
        return result;
      }
    }
    result.action = Action::Proposed;
    for (std::size_t i : open) result.candidates.push_back(ledger_.items[i].head.orderNumber);
    result.reason = "Betrag passt nicht zur Summe der genannten Rechnungen";
    return result;
  }
  // The exact amount together with the customer's name.
  const std::vector<std::string> tokens = NameTokens(t.name);
  std::vector<std::pair<std::size_t, bool>> fits;
  const auto range = byAmount_.equal_range(t.cents);
  for (auto it = range.first; it != range.second; ++it) {
    const OpenItem& item = ledger_.items[it->second];
    bool discount = false;
    if (IsCreditNote(item) || item.currency != t.currency) continue;
    if (!Settles(item, t.cents, t.bookingDate, discount) || !nameFits(item, tokens)) continue;
    if (std::find_if(fits.begin(), fits.end(), [&](const auto& f) { return f.first == it->second; }) == fits.end())
      fits.emplace_back(it->second, discount);
  }
  if (fits.size() == 1) {
    const OpenItem& item = ledger_.items[fits.front().first];
    result.action = Action::Booked;
    result.allocations.push_back({item.head.orderNumber, t.cents, fits.front().second});
    result.reason = "Betrag und Name";
    return result;
  }
  result.candidates = ranked(t, true);
  // Named invoices that are paid or in another currency come first.
  for (auto i = named.rbegin(); i != named.rend(); ++i) {
    const std::int32_t number = ledger_.items[*i].head.orderNumber;
    std::erase(result.candidates, number);
    result.candidates.insert(result.candidates.begin(), number);
  }
  result.action = result.candidates.empty() ? Action::Unmatched : Action::Proposed;
  if (!named.empty())
    result.reason = "Genannte Rechnung ist nicht offen";
  else if (!result.notIssued.empty())
    result.reason = "Genannte Nummer ist keine ausgestellte Rechnung";
  else if (fits.size() > 1)
    result.reason = "Mehrere Rechnungen passen";
  return result;
}

MatchResult Matcher::debit(const Transaction& t) {
  MatchResult result;
  const std::vector<std::size_t> named = mentioned(t, result.notIssued);
  std::vector<std::size_t> open;
  for (std::size_t i : named) {
    const OpenItem& item = ledger_.items[i];
    if (IsCreditNote(item) && OpenAmount(item.head) < 0 && item.currency == t.currency)
      open.push_back(i);
  }
  if (open.size() == 1) {
    result.action = Action::Booked;
    result.allocations.push_back({ledger_.items[open.front()].head.orderNumber, t.cents, false});
    result.reason = "Erstattung einer Gutschrift";
    return result;
  }
  if (open.empty() && named.empty()) {
    const std::vector<std::string> tokens = NameTokens(t.name);
    std::vector<std::size_t> fits;
    const auto range = byAmount_.equal_range(t.cents);
    for (auto it = range.first; it != range.second; ++it) {
      const OpenItem& item = ledger_.items[it->second];
      if (IsCreditNote(item) && item.currency == t.currency && OpenAmount(item.head) == t.cents &&
          nameFits(item, tokens))
        fits.push_back(it->second);
    }
    if (fits.size() == 1) {
      result.action = Action::Booked;
      result.allocations.push_back({ledger_.items[fits.front()].head.orderNumber, t.cents, false});
      result.reason = "Erstattung einer Gutschrift";
      return result;
    }
  }
  for (std::size_t i : named) result.candidates.push_back(ledger_.items[i].head.orderNumber);
  if (result.candidates.empty()) result.candidates = ranked(t, false);
  result.action = result.candidates.empty() ? Action::Unmatched : Action::Proposed;
  return result;
}

// Candidates for a proposal: open items of the payer's name or of the
// amount, best first: amount and name both, then the amount, then the
// name; among equals the invoice dated nearest before the booking.
std::vector<std::int32_t> Matcher::ranked(const Transaction& t, bool credits) const {
  const std::vector<std::string> tokens = NameTokens(t.name);
  std::vector<std::size_t> pool;
  const auto range = byAmount_.equal_range(t.cents);
  for (auto it = range.first; it != range.second; ++it) pool.push_back(it->second);
  for (const std::string& token : tokens)
    if (const auto it = byToken_.find(token); it != byToken_.end() && it->second.size() <= 500)
      pool.insert(pool.end(), it->second.begin(), it->second.end());
  std::sort(pool.begin(), pool.end());
  pool.erase(std::unique(pool.begin(), pool.end()), pool.end());
  const long booked = orders::DayNumber(t.bookingDate);
  struct Scored {
    int score;
    long distance;
    std::int32_t number;
  };
  std::vector<Scored> scored;
  for (std::size_t i : pool) {
    const OpenItem& item = ledger_.items[i];
    const std::int64_t open = OpenAmount(item.head);
    if (IsCreditNote(item) == credits || open == 0 || (credits ? open < 0 : open > 0)) continue;
    bool discount = false;
    const bool amount = item.currency == t.currency && Settles(item, t.cents, t.bookingDate, discount);
    const bool name = nameFits(item, tokens);
    if (!amount && !name) continue;
    const long dated = orders::DayNumber(store::GetText(item.head.orderDate));
    scored.push_back({(amount ? 2 : 0) + (name ? 1 : 0), std::labs(booked - dated), item.head.orderNumber});
  }
  std::sort(scored.begin(), scored.end(), [](const Scored& a, const Scored& b) {
    if (a.score != b.score) return a.score > b.score;
    if (a.distance != b.distance) return a.distance < b.distance;
    return a.number < b.number;
  });
  std::vector<std::int32_t> best;
  for (std::size_t i = 0; i < scored.size() && i < 5; ++i) best.push_back(scored[i].number);
  return best;
}

}  // namespace bank
