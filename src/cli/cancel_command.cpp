#include "cli/cancel_command.h"

#include <charconv>
#include <cstdio>

#include "cli/print_command.h"
#include "core/dates.h"
#include "orders/cancellation.h"
#include "store/load_parameters.h"

namespace cli {

namespace {

int Usage() {
  std::fputs("Aufruf: belvon-cli cancel --order NUMMER [--date TT.MM.JJJJ]\n", stderr);
  return 2;
}

}  // namespace

int CancelCommand(frame::AppState& app, const std::vector<std::string>& args) {
  std::string orderText, date;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (i + 1 >= args.size()) return Usage();
    if (args[i] == "--order") orderText = args[++i];
    else if (args[i] == "--date") date = args[++i];
    else return Usage();
  }
  std::int32_t number = 0;
  const auto parsed = std::from_chars(orderText.data(), orderText.data() + orderText.size(), number);
  if (orderText.empty() || parsed.ec != std::errc() || parsed.ptr != orderText.data() + orderText.size())
    return Usage();
  if (!date.empty() && (date.size() != 10 || orders::EnteredDate(date) != date)) {
    std::fprintf(stderr, "Ungültiges Datum: %s (TT.MM.JJJJ)\n", date.c_str());
    return 2;
  }
  // The credit note's PDF for the archive is painted.
  const auto application = StartPaintingApplication();
  if (!frame::LoadParameters(app)) return 1;
  if (date.empty()) date = orders::FormatDate(*app.clock);
  if (!MakeOrderCurrent(app, number)) return 1;
  std::int32_t creditNote = 0;
  if (!orders::CancelInvoice(app, date, creditNote)) return 1;
  std::printf("%ld\n", static_cast<long>(creditNote));
  return 0;
}

}  // namespace cli
