// The invoice journal as data for the tax adviser: the rows of the printed
// journal, one invoice per line, and its total row of each currency, as a
// German spreadsheet opens it (UTF-8 with BOM, semicolons, decimal comma,
// dates dd.mm.yyyy, CR LF, a header line). A text field that starts like a
// formula (=, +, -, @, tab, CR) is quoted with an apostrophe in front, so the
// spreadsheet shows it as text; the amounts stay numbers.
#ifndef BELVON_REPORTS_JOURNAL_CSV_H
#define BELVON_REPORTS_JOURNAL_CSV_H

#include <string>

#include "reports/invoice_journal.h"
#include "store/parameter_record.h"

namespace reports {

std::string JournalCsv(const Journal& journal, const store::ParameterRecord& parameters);

// Cents as "-1234,56".
std::string CsvAmount(std::int64_t cents);

}  // namespace reports

#endif  // BELVON_REPORTS_JOURNAL_CSV_H
