#include "cli/report_commands.h"

#include <cstdio>

#include "core/decimal.h"
#include "store/load_parameters.h"
#include "core/dates.h"
#include "platform/cp1252.h"
#include "platform/output_file.h"
#include "reports/invoice_journal.h"
#include "reports/invoice_lists.h"
#include "reports/journal_csv.h"
#include "reports/master_data_lists.h"
#include "reports/statistics.h"
#include "store/article_file.h"
#include "store/text_field.h"

namespace cli {

namespace {

bool DateRangeJob(int job) {
  return job == reports::kJobInvoiceJournal || job == reports::kJobArticleTurnover ||
         job == reports::kJobArticleHitList || job == reports::kJobCustomerHitList ||
         job == reports::kJobTurnoverGraph;
}

// "dd.mm.yyyy" naming a real calendar day.
bool ValidDate(const std::string& text) {
  return text.size() == 10 && orders::EnteredDate(text) == text;
}

// The range the job's dialog proposes when none is given.
void DefaultRange(const frame::AppState& app, int job, std::string& from, std::string& to) {
  orders::Date today;
  const std::string date = orders::FormatDate(*app.clock, &today);
  if (job == reports::kJobInvoiceJournal) {
    from = to = date;
  } else if (job == reports::kJobTurnoverGraph) {
    from = frame::Format("01.01.%4d", today.year);
    to = frame::Format("31.%02d.%4d", today.month, today.year);
  } else {
    from = frame::Format("01.%02d.%4d", today.month, today.year);
    to = date;
  }
}

int ExportUsage() {
  std::fputs("Aufruf: belvon-cli export-journal --from TT.MM.JJJJ --to TT.MM.JJJJ [--output DATEI]\n",
             stderr);
  return 2;
}

}  // namespace

bool CheckDate(const std::string& text) {
  if (text.empty() || ValidDate(text)) return true;
  std::fprintf(stderr, "Ungültiges Datum: %s (TT.MM.JJJJ)\n", text.c_str());
  return false;
}

bool IsReportJob(int job) {
  return DateRangeJob(job) || job == reports::kJobOpenInvoices ||
         job == reports::kJobUnprintedInvoices || job == reports::kJobBackOrders ||
         job == reports::kJobOrderProposals || job == reports::kJobAddressesByName ||
         job == reports::kJobArticlesSale || job == reports::kJobArticlesPurchase ||
         job == reports::kJobAddressesByPostcode;
}

bool ReportOption(const std::string& option, const std::string& value, ReportRequest& request) {
  if (option == "--from") {
    request.from = value;
  } else if (option == "--to") {
    request.to = value;
  } else if (option == "--article") {
    request.article = value;
    request.articleGiven = true;
  } else {
    return false;
  }
  return true;
}

int PrepareReport(frame::AppState& app, int job, const ReportRequest& request,
                  printing::JobInputs& inputs) {
  const bool ranged = !request.from.empty() || !request.to.empty();
  if ((ranged && !DateRangeJob(job)) ||
      request.articleGiven != (job == reports::kJobArticleTurnover)) {
    std::fputs(job == reports::kJobArticleTurnover
                   ? "Die Artikelumsatzliste braucht --article NUMMER.\n"
                   : "Diese Liste kennt nur --pdf oder --png (und --from/--to, wo sie einen "
                     "Zeitraum hat).\n",
               stderr);
    return 2;
  }
  if (!CheckDate(request.from) || !CheckDate(request.to)) return 2;
  DefaultRange(app, job, inputs.reportFrom, inputs.reportTo);
  if (!request.from.empty()) inputs.reportFrom = request.from;
  if (!request.to.empty()) inputs.reportTo = request.to;
  if (job != reports::kJobArticleTurnover) return 0;
  store::ArticleRecord key{};
  store::SetText(key.number, platform::Utf8ToCp1252(request.article));
  std::int32_t position = -1;
  if (store::FindArticleByNumber(app, key, position) != 1 ||
      store::ReadArticle(app, app.article, position) != 1) {
    std::fprintf(stderr, "Artikel %s nicht gefunden.\n", request.article.c_str());
    return 1;
  }
  return 0;
}

int ExportJournalCommand(frame::AppState& app, const std::vector<std::string>& args) {
  std::string from, to, output;
  for (std::size_t i = 1; i < args.size(); i += 2) {
    if (i + 1 >= args.size()) return ExportUsage();
    const std::string& value = args[i + 1];
    if (args[i] == "--from")
      from = value;
    else if (args[i] == "--to")
      to = value;
    else if (args[i] == "--output")
      output = value;
    else
      return ExportUsage();
  }
  if (from.empty() || to.empty()) return ExportUsage();
  if (!CheckDate(from) || !CheckDate(to)) return 2;
  if (!frame::LoadParameters(app)) return 1;
  const reports::Journal journal = reports::CollectJournal(
      app, from, to, [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); });
  const std::string csv = reports::JournalCsv(journal, app.parameters);
  if (output.empty()) {
    std::fwrite(csv.data(), 1, csv.size(), stdout);
    return 0;
  }
  if (!platform::WriteOutputFile(*app.fileSystem, output, csv)) {
    std::fprintf(stderr, "%s\n", platform::OutputFailureText(output).c_str());
    return 1;
  }
  std::printf("%s\n", output.c_str());
  return 0;
}

}  // namespace cli
