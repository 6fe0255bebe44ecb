#include "receive/invoice_checks.h"

#include <cmath>
#include <cstdlib>
#include <map>
#include <utility>

#include "core/figures.h"

namespace receive {

namespace {

std::string Euro(std::int64_t cents) {
  return frame::Amount(frame::FigureStyle::German, static_cast<double>(cents) / 100.0);
}

// The categories whose tax is always 0.
bool TaxFree(const std::string& category) {
  return category == "E" || category == "AE" || category == "K" || category == "G" ||
         category == "O" || category == "Z";
}

// The key of a VAT breakdown row: category and rate in hundredths of a percent.
using RateKey = std::pair<std::string, std::int64_t>;
RateKey KeyOf(const std::string& category, const Amount& rate) {
  return {category, TaxFree(category) && !rate.present() ? 0 : std::llround(rate.value * 100)};
}
std::string RateName(const RateKey& key) {
  return key.first + " " +
         frame::Amount(frame::FigureStyle::German, static_cast<double>(key.second) / 100.0,
                       key.second % 100 ? 2 : 0) +
         " %";
}

class Findings {
 public:
  void add(std::string term, std::string text) {
    list_.push_back({std::move(term), std::move(text)});
  }
  // A stated total against the one recomputed; `tolerance` in cents.
  void compare(const std::string& term, const std::string& label, const Amount& stated,
               std::int64_t computed, const std::string& how, std::int64_t tolerance = 0) {
    if (!stated.present()) {
      if (computed != 0)
        add(term,
            label + " (" + term + ") fehlt; nachgerechnet " + Euro(computed) + " (" + how + ").");
      return;
    }
    if (std::llabs(Cents(stated.value) - computed) > tolerance)
      add(term, label + " (" + term + "): angegeben " + Euro(Cents(stated.value)) +
                    ", nachgerechnet " + Euro(computed) + " (" + how + ").");
  }
  std::vector<Finding> take() { return std::move(list_); }

 private:
  std::vector<Finding> list_;
};

void CheckMandatory(const ReceivedInvoice& invoice, Findings& findings) {
  const struct {
    bool missing;
    const char* term;
    const char* label;
  } terms[] = {
      {invoice.number.empty(), "BT-1", "Die Rechnungsnummer"},
      {invoice.issueDate.empty(), "BT-2", "Das Rechnungsdatum"},
      {invoice.currency.empty(), "BT-5", "Der Währungscode"},
      {invoice.seller.name.empty(), "BT-27", "Der Name des Verkäufers"},
      {!invoice.totals.total.present(), "BT-112", "Der Gesamtbetrag"},
      {!invoice.totals.due.present(), "BT-115", "Der fällige Betrag"},
  };
  for (const auto& term : terms)
    if (term.missing)
      findings.add(term.term, std::string(term.label) + " (" + term.term + ") fehlt.");
}

// BT-131 = quantity x net price / base quantity + line charges - line
// allowances; a cent either way is the rounding of the price.
std::int64_t CheckLines(const ReceivedInvoice& invoice, Findings& findings,
                        std::map<RateKey, std::int64_t>& basisByRate) {
  std::int64_t sum = 0;
  int index = 0;
  for (const Line& line : invoice.lines) {
    ++index;
    const std::string name = "Position " + (line.id.empty() ? std::to_string(index) : line.id);
    const std::int64_t stated = Cents(line.netAmount.value);
    if (!line.netAmount.present()) findings.add(name, name + ": der Nettobetrag (BT-131) fehlt.");
    sum += stated;
    basisByRate[KeyOf(line.category, line.rate)] += stated;
    if (!line.quantity.present() || !line.netPrice.present()) continue;
    const double base =
        line.baseQuantity.present() && line.baseQuantity.value != 0 ? line.baseQuantity.value : 1.0;
    double adjustments = 0;
    for (const Adjustment& a : line.adjustments)
      adjustments += a.charge ? a.amount.value : -a.amount.value;
    const std::int64_t cents =
        Cents(line.quantity.value * line.netPrice.value / base + adjustments);
    // A line free of VAT may carry a tax that is none (insurance tax): its
    // amount is then the price with that tax, the gross price.
    const bool grossTaken =
        (line.category == "E" || line.category == "O") && line.grossPrice.present() &&
        std::llabs(Cents(line.quantity.value * line.grossPrice.value / base + adjustments) -
                   stated) <= 1;
    if (line.netAmount.present() && std::llabs(cents - stated) > 1 && !grossTaken)
      findings.add(
          name,
          name + ": Nettobetrag (BT-131) angegeben " + Euro(stated) + ", nachgerechnet " +
              Euro(cents) + " (Menge " +
              frame::Quantity(frame::FigureStyle::German, line.quantity.value) + " × Nettopreis " +
              frame::Amount(frame::FigureStyle::German, line.netPrice.value, 4) +
              (base != 1.0 ? " / Basismenge " + frame::Quantity(frame::FigureStyle::German, base)
                           : std::string()) +
              (line.adjustments.empty() ? "" : " ± Zu- und Abschläge") + ").");
  }
  return sum;
}

void CheckBreakdown(const ReceivedInvoice& invoice, Findings& findings,
                    std::map<RateKey, std::int64_t> basisByRate, std::int64_t& taxSum) {
  for (const Adjustment& a : invoice.adjustments)
    basisByRate[KeyOf(a.category, a.rate)] +=
        a.charge ? Cents(a.amount.value) : -Cents(a.amount.value);
  std::map<RateKey, bool> stated;
  taxSum = 0;
  for (const TaxBreakdown& row : invoice.breakdown) {
    const RateKey key = KeyOf(row.category, row.rate);
    const std::string name = "Umsatzsteuer " + RateName(key);
    stated[key] = true;
    taxSum += Cents(row.tax.value);
    if (!invoice.lines.empty())
      findings.compare("BT-116", name + ": Bemessungsgrundlage", row.basis, basisByRate[key],
                       "Summe der Positionen mit Zu- und Abschlägen dieses Satzes");
    const std::int64_t basis = Cents(row.basis.value);
    const std::int64_t tax =
        TaxFree(row.category) ? 0
                              : std::llround(static_cast<double>(basis) * row.rate.value / 100.0);
    findings.compare("BT-117", name + ": Steuerbetrag", row.tax, tax,
                     TaxFree(row.category) ? "steuerfrei" : "Bemessungsgrundlage × Steuersatz", 1);
  }
  for (const auto& [key, basis] : basisByRate)
    if (!stated.count(key) && (basis != 0 || !invoice.lines.empty()) && !key.first.empty())
      findings.add("BG-23",
                   "Für Umsatzsteuer " + RateName(key) +
                       " fehlt die Aufschlüsselung (BG-23), obwohl Positionen oder Zu- und "
                       "Abschläge diesen Satz haben.");
}

}  // namespace

std::vector<Finding> CheckFigures(const ReceivedInvoice& invoice) {
  Findings findings;
  CheckMandatory(invoice, findings);
  std::map<RateKey, std::int64_t> basisByRate;
  const Totals& t = invoice.totals;
  if (!invoice.lines.empty()) {
    const std::int64_t lineSum = CheckLines(invoice, findings, basisByRate);
    findings.compare("BT-106", "Summe der Positionen", t.lineNet, lineSum,
                     "Summe der Nettobeträge der Positionen");
  }
  std::int64_t allowances = 0, charges = 0;
  for (const Adjustment& a : invoice.adjustments)
    (a.charge ? charges : allowances) += Cents(a.amount.value);
  findings.compare("BT-107", "Summe der Abschläge", t.allowances, allowances,
                   "Summe der Abschläge auf Belegebene");
  findings.compare("BT-108", "Summe der Zuschläge", t.charges, charges,
                   "Summe der Zuschläge auf Belegebene");
  std::int64_t taxSum = 0;
  CheckBreakdown(invoice, findings, basisByRate, taxSum);
  const std::int64_t basis =
      Cents(t.lineNet.value) - Cents(t.allowances.value) + Cents(t.charges.value);
  findings.compare("BT-109", "Gesamtsumme ohne Umsatzsteuer", t.taxBasis, basis,
                   "Summe der Positionen − Abschläge + Zuschläge");
  if (!invoice.breakdown.empty())
    findings.compare("BT-110", "Summe der Umsatzsteuer", t.tax, taxSum,
                     "Summe der Steuerbeträge je Satz");
  findings.compare("BT-112", "Gesamtbetrag", t.total, Cents(t.taxBasis.value) + Cents(t.tax.value),
                   "Summe ohne Umsatzsteuer + Umsatzsteuer");
  if (t.due.present() && t.total.present())
    findings.compare("BT-115", "Fälliger Betrag", t.due,
                     Cents(t.total.value) - Cents(t.prepaid.value) + Cents(t.rounding.value),
                     "Gesamtbetrag − Vorauszahlung + Rundung");
  if (invoice.creditNote() && t.total.present() && t.total.value < 0)
    findings.add("BT-3",
                 "Die Gutschrift hat einen negativen Gesamtbetrag (" + Euro(Cents(t.total.value)) +
                     "): mit negativen Positionen ist sie eine Forderung des Lieferanten. Bitte "
                     "nachfragen, bevor gebucht oder gezahlt wird.");
  return findings.take();
}

}  // namespace receive
