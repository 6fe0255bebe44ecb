#include "store/first_start_defaults.h"

#include "store/text_field.h"

namespace frame {

bool ParametersUnset(const store::ParameterRecord& p) {
  return store::GetText(p.companyName1).empty() && PriceSettingsUnset(p);
}

bool PriceSettingsUnset(const store::ParameterRecord& p) {
  if (!store::GetText(p.currencySymbol1).empty()) return false;
  for (int currency = 0; currency < 3; ++currency)
    for (int k = 2; k <= 3; ++k)
      if (store::TaxRate(p, currency, k) != 0) return false;
  return true;
}

void FillFirstStartDefaults(store::ParameterRecord& p) {
  store::SetText(p.currencySymbol1, "EUR");
  p.exchangeRates[0] = 1.0f;
  for (int currency = 0; currency < 3; ++currency) {
    store::SetTaxRate(p, currency, 2, 70);
    store::SetTaxRate(p, currency, 3, 190);
  }
  p.printLetterhead = 1;
  p.printFooter = 1;
  p.printPreview = 1;
  // The first invoice states when it is due (and carries the GiroCode that
  // stands beside the terms); the print dialog keeps what the user chooses.
  p.printPaymentTerms = 1;
  // A new customer owes within two weeks until his own terms are entered.
  p.paymentPeriod = 14;
  // The other document kinds print fixed titles; these are the ones kept
  // in the parameters.
  store::SetText(p.deliveryNoteTitle, "LIEFERSCHEIN");
  // Without periods every open invoice would reach the last level at once.
  const std::int16_t periods[] = {14, 28, 42}, fees[] = {0, 5, 10};
  char* titles[] = {p.dunningTitle1, p.dunningTitle2, p.dunningTitle3};
  char* texts[] = {p.dunningText1, p.dunningText2, p.dunningText3};
  const char* titleTexts[] = {"Zahlungserinnerung", "Mahnung", "Letzte Mahnung"};
  for (int level = 0; level < 3; ++level) {
    p.dunningPeriods[level] = periods[level];
    p.dunningFees[level] = fees[level];
    store::SetText(titles[level], 81, titleTexts[level]);
    store::SetText(texts[level], 81, kDefaultDunningTextNames[level]);
  }
}

void LetterheadFromCompany(store::ParameterRecord& p) {
  struct Pair {
    char* line;
    std::size_t width;
    const char* name;
    std::size_t nameWidth;
  };
  const Pair pairs[] = {
      {p.letterheadLine1, sizeof p.letterheadLine1, p.companyName1, sizeof p.companyName1},
      {p.letterheadLine2, sizeof p.letterheadLine2, p.companyName2, sizeof p.companyName2},
      {p.letterheadLine3, sizeof p.letterheadLine3, p.companyName3, sizeof p.companyName3}};
  for (const Pair& pair : pairs)
    if (store::GetText(pair.line, pair.width).empty())
      store::SetText(pair.line, pair.width, store::GetText(pair.name, pair.nameWidth));
}

}  // namespace frame
