#include "cli/datev_command.h"

#include <cstdio>

#include "cli/report_commands.h"
#include "datev/booking_batch.h"
#include "datev/datev_export.h"
#include "store/load_parameters.h"

namespace cli {

namespace {

int Usage() {
  std::fputs("Aufruf: belvon-cli export-datev --from TT.MM.JJJJ --to TT.MM.JJJJ [--output DATEI] "
             "[--payments] [--debtors DATEI] [--advisor NR --client NR]\n",
             stderr);
  return 2;
}

bool Number(const std::string& text, long& value) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  value = std::stol(text);
  return true;
}

}  // namespace

int ExportDatevCommand(frame::AppState& app, const std::vector<std::string>& args) {
  datev::ExportRequest request;
  std::string advisor, client;
  bool payments = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--payments") {
      payments = true;
      continue;
    }
    if (i + 1 >= args.size()) return Usage();
    const std::string& value = args[++i];
    if (args[i - 1] == "--from")
      request.from = value;
    else if (args[i - 1] == "--to")
      request.to = value;
    else if (args[i - 1] == "--output")
      request.output = value;
    else if (args[i - 1] == "--debtors")
      request.debtors = value;
    else if (args[i - 1] == "--advisor")
      advisor = value;
    else if (args[i - 1] == "--client")
      client = value;
    else
      return Usage();
  }
  if (request.from.empty() || request.to.empty()) return Usage();
  if (!CheckDate(request.from) || !CheckDate(request.to)) return 2;
  if (!frame::LoadParameters(app)) return 1;
  std::string problem;
  datev::Settings settings = datev::LoadSettings(app.dataDirectory, &problem);
  if (!problem.empty()) std::fprintf(stderr, "%s", problem.c_str());
  if ((!advisor.empty() && !Number(advisor, settings.advisor)) ||
      (!client.empty() && !Number(client, settings.client))) {
    std::fputs("Berater- und Mandantennummer sind Zahlen.\n", stderr);
    return 2;
  }
  if (settings.advisor == 0 || settings.client == 0) {
    std::fputs("Beraternummer und Mandantennummer fehlen: bitte unter \"Datei / DATEV...\" "
               "einstellen oder mit --advisor NR --client NR angeben.\n",
               stderr);
    return 2;
  }
  request.payments = payments || settings.payments;
  if (request.output.empty()) request.output = datev::BatchFileName(request.from, request.to);
  const datev::ExportOutcome outcome = datev::RunExport(
      app, settings, request, [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); });
  if (!outcome.written) {
    std::fprintf(stderr, "%s\n", outcome.problem.c_str());
    return 1;
  }
  std::fputs(outcome.notes.c_str(), stderr);
  std::printf("%s\n", request.output.c_str());
  if (request.debtors.empty()) return 0;
  if (!outcome.debtorsWritten) return 1;
  std::printf("%s\n", request.debtors.c_str());
  return 0;
}

}  // namespace cli
