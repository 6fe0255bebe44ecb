#include "bank/chosen_payments.h"

#include "bank/statement_text.h"
#include "core/decimal.h"

namespace bank {

namespace {

std::string Cents(std::int64_t cents) {
  const std::int64_t whole = cents < 0 ? -cents : cents;
  return frame::Format("%s%lld,%02lld", cents < 0 ? "-" : "", static_cast<long long>(whole / 100),
                       static_cast<long long>(whole % 100));
}

std::optional<std::int32_t> OrderNumber(const std::string& text) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
    return std::nullopt;
  const long number = frame::ParseWhole(text);
  return number > 0 ? std::optional<std::int32_t>(static_cast<std::int32_t>(number)) : std::nullopt;
}

}  // namespace

std::string ChoiceText(const MatchResult& match) {
  if (match.allocations.size() == 1) return std::to_string(match.allocations.front().order);
  std::string text;
  for (const Allocation& a : match.allocations) {
    if (!text.empty()) text += "; ";
    text += std::to_string(a.order) + "=" + Cents(a.cents);
  }
  if (text.empty() && !match.candidates.empty()) text = std::to_string(match.candidates.front());
  return text;
}

std::optional<std::vector<Allocation>> ReadChoice(std::string_view text, const Transaction& t,
                                                  const MatchResult& proposal, std::string& error) {
  std::vector<Allocation> chosen;
  std::vector<std::string> parts;
  std::size_t at = 0;
  while (at <= text.size()) {
    const std::size_t end = std::min(text.find(';', at), text.size());
    const std::string part = Trimmed(text.substr(at, end - at));
    if (!part.empty()) parts.push_back(part);
    at = end + 1;
  }
  if (parts.empty()) return chosen;
  auto bad = [&error, &text](const std::string& why) {
    error = "\"" + std::string(text) + "\": " + why;
    return std::nullopt;
  };
  if (parts.size() == 1 && parts[0].find('=') == std::string::npos) {
    const std::optional<std::int32_t> number = OrderNumber(parts[0]);
    if (!number) return bad("keine Rechnungsnummer.");
    bool discount = false;
    for (const Allocation& a : proposal.allocations)
      if (proposal.allocations.size() == 1 && a.order == *number && a.cents == t.cents) discount = a.cashDiscount;
    chosen.push_back({*number, t.cents, discount});
    return chosen;
  }
  std::int64_t sum = 0;
  for (const std::string& part : parts) {
    const std::size_t equals = part.find('=');
    if (equals == std::string::npos) return bad("bei mehreren Rechnungen bitte je Rechnung den Betrag angeben (Nummer=Betrag).");
    const std::optional<std::int32_t> number = OrderNumber(Trimmed(part.substr(0, equals)));
    const std::optional<std::int64_t> cents = frame::ReadScaled(part.substr(equals + 1), 2);
    if (!number) return bad("keine Rechnungsnummer.");
    if (!cents || *cents == 0) return bad("kein Betrag.");
    for (const Allocation& a : chosen)
      if (a.order == *number) return bad("eine Rechnung ist zweimal genannt.");
    bool discount = false;
    for (const Allocation& a : proposal.allocations)
      if (a.order == *number && a.cents == *cents) discount = a.cashDiscount;
    chosen.push_back({*number, *cents, discount});
    sum += *cents;
  }
  if (sum != t.cents) return bad("die Beträge ergeben zusammen nicht den Betrag der Buchung.");
  return chosen;
}

}  // namespace bank
