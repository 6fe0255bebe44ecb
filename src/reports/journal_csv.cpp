#include "reports/journal_csv.h"

#include <cstdlib>
#include <string_view>

#include "core/decimal.h"
#include "reports/report_values.h"

namespace reports {

namespace {

// A text a spreadsheet would take for a formula ("=2+3", "=HYPERLINK(...)",
// "+49 89 ...", "-Rabatt", "@SUM") is quoted with an apostrophe in front,
// so that it shows as the text it is and never runs. Only the user's texts
// pass through here: the amount columns stay numbers.
bool LooksLikeFormula(const std::string& text) {
  return !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

std::string Field(const std::string& text) {
  const bool formula = LooksLikeFormula(text);
  if (!formula && text.find_first_of(";\"\r\n") == std::string::npos) return text;
  std::string quoted = formula ? "\"'" : "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string Rate(int tenths) {
  return frame::Format("%s%d,%d", tenths < 0 ? "-" : "", std::abs(tenths) / 10, std::abs(tenths) % 10);
}

void Figures(std::string& out, int rate1, int rate2, const JournalFigures& f,
             std::string_view note = {}) {
  out += Rate(rate1) + ';' + Rate(rate2) + ';' + CsvAmount(f.tax1) + ';' + CsvAmount(f.tax2) +
         ';' + CsvAmount(f.gross) + ';' + CsvAmount(f.net) + ';' + std::string(note) + "\r\n";
}

}  // namespace

std::string CsvAmount(std::int64_t cents) {
  const std::uint64_t magnitude =
      cents < 0 ? 0 - static_cast<std::uint64_t>(cents) : static_cast<std::uint64_t>(cents);
  return frame::Format("%s%llu,%02llu", cents < 0 ? "-" : "",
                       static_cast<unsigned long long>(magnitude / 100),
                       static_cast<unsigned long long>(magnitude % 100));
}

std::string JournalCsv(const Journal& journal, const store::ParameterRecord& parameters) {
  std::string out = "\xEF\xBB\xBF";
  out += "Rechnungsnummer;Kundennummer;Kunde;Datum;Währung;Steuersatz 1;Steuersatz 2;"
         "Steuer 1;Steuer 2;Brutto;Netto;Vermerk\r\n";
  for (const JournalRow& row : journal.rows) {
    out += std::to_string(row.orderNumber) + ';' + Field(row.customerNumber) + ';' +
           Field(row.customerName) + ';' + Field(row.date) + ';' +
           Field(CurrencyName(parameters, row.currency)) + ';';
    Figures(out, row.rate1, row.rate2, row.figures, row.takenOver ? "übernommen" : "");
  }
  for (int c = 0; c < kJournalCurrencies; ++c) {
    const JournalTotals& total = journal.totals[static_cast<std::size_t>(c)];
    if (!total.printed()) continue;
    out += "Summe;;;;" + Field(CurrencyName(parameters, c)) + ';';
    Figures(out, total.rate1, total.rate2, total.sum);
  }
  return out;
}

}  // namespace reports
