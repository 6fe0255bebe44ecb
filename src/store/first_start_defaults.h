// What a first start offers: an empty parameter record would print invoices
// without VAT and delivery notes without a heading. The assistant of the
// desktop program shows these values in the master-data and currency
// dialogs for the user to confirm; `belvon-cli init --defaults` writes them.
#ifndef BELVON_STORE_FIRST_START_DEFAULTS_H
#define BELVON_STORE_FIRST_START_DEFAULTS_H

#include "store/app_state.h"
#include "store/parameter_record.h"

namespace frame {

// True while the loaded parameters were never set up: no company name, no
// symbol for the main currency and no tax rate. That is what a first start
// leaves until its parameters are confirmed (an empty file, read as zeros).
bool ParametersUnset(const store::ParameterRecord& parameters);
// No symbol for the main currency and no tax rate: documents with prices
// would state 0 % VAT in no currency.
bool PriceSettingsUnset(const store::ParameterRecord& parameters);

// The letter texts of the three dunning levels in a new data directory; a
// bare name is read from the data directory.
inline constexpr const char* kDefaultDunningTextNames[] = {"MAHNUNG1.TXT", "MAHNUNG2.TXT",
                                                           "MAHNUNG3.TXT"};

// German defaults: currency 1 "EUR" at 1.0, the tax rates 7.0 % and 19.0 %
// for currencies 1-3, letterhead, footer, preview and payment terms on, a
// payment period of 14 days, the delivery-note title, and the dunning levels: 14, 28 and 42 days after the due date,
// fees 0, 5 and 10, their titles and the names of their letter texts
// (written by letters::WriteDefaultDunningTexts). Everything else is left
// as it is.
void FillFirstStartDefaults(store::ParameterRecord& parameters);

// The letterhead lines that are still empty take the company's name lines,
// so that "Kopf drucken" prints a head once the company is known.
void LetterheadFromCompany(store::ParameterRecord& parameters);

}  // namespace frame

#endif  // BELVON_STORE_FIRST_START_DEFAULTS_H
