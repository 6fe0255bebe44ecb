#include "bank/invoice_numbers.h"

#include <array>
#include <string>

namespace bank {

namespace {

constexpr std::array<std::string_view, 14> kKeywords = {
    "rechnung", "rechnungsnr", "rechnungsnummer", "rg", "rgnr", "re", "renr",
    "nr", "invoice", "inv", "beleg", "belegnr", "rechn", "rechnr"};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Whether the word before `at` (over blanks, points, colons, hashes and
// dashes) is one that announces an invoice number.
bool KeywordBefore(std::string_view text, std::size_t at) {
  std::size_t i = at;
  while (i > 0 && std::string_view(" .:#-/").find(text[i - 1]) != std::string_view::npos) --i;
  std::size_t end = i;
  while (i > 0 && IsLetter(text[i - 1])) --i;
  if (i == end) return false;
  std::string word(text.substr(i, end - i));
  for (char& c : word) c = static_cast<char>(c | 0x20);
  for (std::string_view keyword : kKeywords)
    if (word == keyword) return true;
  return false;
}

}  // namespace

std::vector<NumberMention> NumberMentions(std::string_view text) {
  std::vector<NumberMention> found;
  for (std::size_t i = 0; i < text.size();) {
    if (!IsDigit(text[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && IsDigit(text[end])) ++end;
    // Digits glued to letters count ("RE126120001"); an IBAN's run of
    // twenty digits is longer than any number of ours.
    const int digits = static_cast<int>(end - i);
    if (digits <= 10) {
      NumberMention mention;
      mention.digits = digits;
      for (std::size_t k = i; k < end; ++k) mention.value = mention.value * 10 + (text[k] - '0');
      mention.afterKeyword = KeywordBefore(text, i);
      found.push_back(mention);
    }
    i = end;
  }
  return found;
}

std::vector<std::int32_t> NumbersMeant(const NumberMention& m) {
  std::vector<std::int32_t> meant;
  if (m.digits < 5 && !m.afterKeyword) return meant;
  if (m.digits <= 9 && m.value > 0) meant.push_back(static_cast<std::int32_t>(m.value));
  // "26120001": the year of the century; the month rule counts from 1900.
  if (m.digits == 8 && (m.value / 100'0000) % 100 >= 1 && (m.value / 1'0000) % 100 <= 12)
    meant.push_back(static_cast<std::int32_t>(m.value + 100'000'000));
  // "2026120001": the year in full.
  if (m.digits == 10) {
    const std::int64_t year = m.value / 1'000'000;
    const std::int64_t month = (m.value / 10'000) % 100;
    if (year >= 2000 && year <= 2099 && month >= 1 && month <= 12)
      meant.push_back(static_cast<std::int32_t>((year - 1900) * 1'000'000 + m.value % 1'000'000));
  }
  return meant;
}

std::int32_t MentionedSequence(const NumberMention& m) {
  if (m.digits != 6 || !m.afterKeyword) return -1;
  const std::int64_t month = m.value / 10'000;
  return month >= 1 && month <= 12 ? static_cast<std::int32_t>(m.value) : -1;
}

}  // namespace bank
