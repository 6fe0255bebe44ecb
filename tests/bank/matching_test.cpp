// Which open invoice a transaction pays, decided on a ledger built here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bank/chosen_payments.h"
#include "bank/invoice_numbers.h"
#include "bank/matching.h"
#include "store/issue_record.h"
#include "store/text_field.h"

namespace {

bank::OpenItem Item(std::int32_t number, std::int32_t total, const char* customer,
                    std::int32_t paid = 0, std::int16_t discount = 0, std::int16_t period = 0,
                    const char* currency = "EUR") {
  bank::OpenItem item;
  item.head.orderNumber = number;
  item.head.total = total;
  item.head.paid = paid;
  item.head.cashDiscount = discount;
  item.head.cashDiscountPeriod = period;
  store::SetText(item.head.orderDate, "01.12.2026");
  item.kind = total < 0 ? store::kIssuedCreditNote : store::kIssuedInvoice;
  item.currency = currency;
  item.customer = customer;
  return item;
}

bank::Ledger Book() {
  bank::Ledger ledger;
  ledger.items = {
      Item(126120001, 11900, "Meier GmbH"),
      Item(126120002, 5000, "Meier GmbH"),
      // 2 % within 10 days of 01.12.: 10000 less 200.
      Item(126120003, 10000, "Gärtnerei Schulz", 0, 20, 10),
      Item(126120004, 23800, "Huber"),
      Item(126120005, -5950, "Huber"),              // credit note
      Item(126120006, 4000, "Müller", 4000),        // paid
      Item(126120008, 7700, "Wagner", 0, 0, 0, "USD"),
      Item(126120009, 8000, "Becker"),
      Item(126120010, 8000, "Becker"),
      Item(125110011, 3000, "Alt"),
  };
  ledger.unissued = {126120007};  // a quotation
  return ledger;
}

bank::Transaction Tx(std::int64_t cents, std::string name, std::string text,
                     std::string date = "05.12.2026", std::string currency = "EUR") {
  bank::Transaction t;
  t.bookingDate = date;
  t.cents = cents;
  t.name = std::move(name);
  t.text = std::move(text);
  t.currency = std::move(currency);
  return t;
}

using A = bank::Allocation;

TEST(Matching, EachRuleBooksWhatItMayAndProposesTheRest) {
  struct Case {
    const char* what;
    bank::Transaction t;
    bank::Action action;
    std::vector<A> allocations;
    std::vector<std::int32_t> firstCandidates;  // the leading candidates expected
  };
  bank::Transaction e2e = Tx(11900, "Unbekannt", "");
  e2e.endToEnd = "RE-126120001";
  bank::Transaction reversed = Tx(-11900, "Meier GmbH", "Ruecklastschrift Rechnung 126120001");
  reversed.reversal = true;
  const std::vector<Case> cases = {
      {"exact with number", Tx(11900, "Meier GmbH", "Rechnung 126120001"), bank::Action::Booked,
       {A{126120001, 11900, false}}, {}},
      {"number in the end-to-end reference", e2e, bank::Action::Booked, {A{126120001, 11900, false}}, {}},
      {"two-digit year", Tx(11900, "X", "RG 26120001"), bank::Action::Booked, {A{126120001, 11900, false}}, {}},
      {"four-digit year", Tx(11900, "X", "Rechnung2026120001"), bank::Action::Booked, {A{126120001, 11900, false}}, {}},
      {"month and sequence after a keyword", Tx(11900, "X", "Rechnung Nr. 120001"), bank::Action::Booked,
       {A{126120001, 11900, false}}, {}},
      {"month and sequence alone is no number, the amount proposes", Tx(11900, "X", "Kunde 120001"),
       bank::Action::Proposed, {}, {126120001}},
      {"partial payment named", Tx(5000, "Meier GmbH", "Rechnung 126120001"), bank::Action::Booked,
       {A{126120001, 5000, false}}, {}},
      {"over-payment named", Tx(20000, "Meier", "126120001"), bank::Action::Booked, {A{126120001, 20000, false}}, {}},
      {"two invoices paid together", Tx(16900, "Meier GmbH", "RE 126120001, 126120002"), bank::Action::Booked,
       {A{126120001, 11900, false}, A{126120002, 5000, false}}, {}},
      {"two invoices, short", Tx(16000, "Meier GmbH", "RE 126120001, 126120002"), bank::Action::Proposed, {},
       {126120001, 126120002}},
      {"discount within the period", Tx(9800, "Schulz", "Rechnung 126120003", "10.12.2026"), bank::Action::Booked,
       {A{126120003, 9800, true}}, {}},
      {"discount after the period is a part payment", Tx(9800, "Schulz", "Rechnung 126120003", "11.12.2026"),
       bank::Action::Booked, {A{126120003, 9800, false}}, {}},
      {"amount and name", Tx(23800, "HUBER Anton", "Danke"), bank::Action::Booked, {A{126120004, 23800, false}}, {}},
      {"amount less discount and name", Tx(9800, "Gaertnerei Schulz", "Zahlung"), bank::Action::Booked,
       {A{126120003, 9800, true}}, {}},
      {"amount without the name", Tx(23800, "Somebody Else", "Danke"), bank::Action::Proposed, {}, {126120004}},
      {"amount and name of two invoices", Tx(8000, "Becker", "Zahlung"), bank::Action::Proposed, {},
       {126120009, 126120010}},
      {"refund of a credit note", Tx(-5950, "Huber", "Gutschrift 126120005"), bank::Action::Booked,
       {A{126120005, -5950, false}}, {}},
      {"refund by amount and name", Tx(-5950, "Huber", "Erstattung"), bank::Action::Booked,
       {A{126120005, -5950, false}}, {}},
      {"a debit never pays an invoice", Tx(-11900, "Meier GmbH", "Rechnung 126120001"), bank::Action::Proposed, {},
       {126120001}},
      {"returned debit", reversed, bank::Action::Proposed, {}, {126120001}},
      {"paid invoice named", Tx(4000, "Müller", "Rechnung 126120006"), bank::Action::Proposed, {}, {126120006}},
      {"foreign currency named", Tx(7700, "Wagner", "Rechnung 126120008", "05.12.2026", "EUR"),
       bank::Action::Proposed, {}, {126120008}},
      {"foreign currency on a euro invoice", Tx(11900, "Meier GmbH", "Rechnung 126120001", "05.12.2026", "USD"),
       bank::Action::Proposed, {}, {126120001}},
      {"quotation number", Tx(999, "Niemand", "Angebot 126120007"), bank::Action::Unmatched, {}, {}},
      {"nothing fits", Tx(123, "Niemand", "Spende"), bank::Action::Unmatched, {}, {}},
      {"amount in the text is no number", Tx(3100, "X", "Betrag 119,00 EUR PLZ 12345"), bank::Action::Unmatched, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    bank::Matcher matcher(Book());
    const bank::MatchResult result = matcher.match(c.t);
    EXPECT_EQ(result.action, c.action) << result.reason;
    EXPECT_EQ(result.allocations, c.allocations);
    ASSERT_GE(result.candidates.size(), c.firstCandidates.size());
    for (std::size_t i = 0; i < c.firstCandidates.size(); ++i)
      EXPECT_EQ(result.candidates[i], c.firstCandidates[i]);
  }
}

// Within one statement a transaction booked counts for the next: a second
// transfer naming the same invoice is a further payment on what is left,
// and an invoice paid by the first is no longer found by its amount.
TEST(Matching, ATransactionBookedCountsForTheNext) {
  bank::Matcher matcher(Book());
  EXPECT_EQ(matcher.match(Tx(9800, "Schulz", "126120003", "05.12.2026")).allocations,
            (std::vector<A>{{126120003, 9800, true}}));
  // The discount was granted once: the rest is 0, so the amount finds nothing.
  EXPECT_EQ(matcher.item(126120003)->head.paid, 10000);
  EXPECT_EQ(matcher.match(Tx(9800, "Schulz", "Zahlung")).action, bank::Action::Unmatched);
  EXPECT_EQ(matcher.match(Tx(23800, "Huber", "")).action, bank::Action::Booked);
  EXPECT_NE(matcher.match(Tx(23800, "Huber", "")).action, bank::Action::Booked);
  // A quotation named beside an invoice is reported, never booked.
  const bank::MatchResult both = matcher.match(Tx(5000, "Meier", "126120007 126120002"));
  EXPECT_EQ(both.allocations, (std::vector<A>{{126120002, 5000, false}}));
  EXPECT_EQ(both.notIssued, std::vector<std::int32_t>{126120007});
}

TEST(Matching, NumbersAreWholeRunsOfDigits) {
  const struct {
    const char* text;
    std::vector<std::int32_t> meant;  // of every mention, in order
  } cases[] = {
      {"Rechnung 126120001", {126120001}},
      {"26120001", {26120001, 126120001}},
      {"2026120001", {126120001}},
      {"Rg.Nr. 4711", {4711}},
      {"Kunde 4711", {}},
      {"IBAN DE89370400440532013000", {}},
      {"RE126120001/126120002", {126120001, 126120002}},
  };
  for (const auto& c : cases) {
    std::vector<std::int32_t> meant;
    for (const bank::NumberMention& m : bank::NumberMentions(c.text))
      for (std::int32_t n : bank::NumbersMeant(m)) meant.push_back(n);
    EXPECT_EQ(meant, c.meant) << c.text;
  }
}

}  // namespace

namespace {

// What the user types for a transaction in the dialog.
TEST(ChosenPayments, OneInvoiceTakesAllASplitMustAddUp) {
  bank::Transaction t = Tx(11900, "Meier", "");
  bank::MatchResult proposal;
  proposal.allocations = {{126120001, 11900, true}};
  const struct {
    const char* text;
    std::optional<std::vector<A>> chosen;
  } cases[] = {
      {"", std::vector<A>{}},
      {"  ", std::vector<A>{}},
      {"126120001", std::vector<A>{{126120001, 11900, true}}},
      {"126120002", std::vector<A>{{126120002, 11900, false}}},
      {"126120001=50,00; 126120002 = 69,00", std::vector<A>{{126120001, 5000, false}, {126120002, 6900, false}}},
      {"126120001=119,00;", std::vector<A>{{126120001, 11900, true}}},
      {"126120001=50; 126120002=60", std::nullopt},
      {"126120001; 126120002", std::nullopt},
      {"126120001=50; 126120001=69", std::nullopt},
      {"Rechnung", std::nullopt},
      {"126120001=x", std::nullopt},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_EQ(bank::ReadChoice(c.text, t, proposal, error), c.chosen) << c.text;
    EXPECT_EQ(error.empty(), c.chosen.has_value()) << c.text;
  }
  bank::MatchResult split;
  split.allocations = {{1, 5000, false}, {2, -100, false}};
  EXPECT_EQ(bank::ChoiceText(split), "1=50,00; 2=-1,00");
}

}  // namespace
