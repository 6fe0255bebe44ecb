#include "cli/einvoice_commands.h"

#include <charconv>
#include <cstdio>

#include "cli/print_command.h"
#include "einvoice/einvoice_file.h"
#include "store/load_parameters.h"
#include "orders/issuing.h"
#include "platform/output_file.h"

namespace cli {

namespace {

int Usage() {
  std::fputs("Aufruf: belvon-cli einvoice --order NUMMER [--output DATEI]\n", stderr);
  return 2;
}

}  // namespace

int EInvoiceCommand(frame::AppState& app, const std::vector<std::string>& args) {
  std::string orderText, output;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (i + 1 >= args.size()) return Usage();
    const std::string& value = args[++i];
    if (args[i - 1] == "--order")
      orderText = value;
    else if (args[i - 1] == "--output")
      output = value;
    else
      return Usage();
  }
  std::int32_t number = 0;
  const auto parsed = std::from_chars(orderText.data(), orderText.data() + orderText.size(), number);
  if (orderText.empty() || parsed.ec != std::errc() || parsed.ptr != orderText.data() + orderText.size())
    return Usage();

  if (!frame::LoadParameters(app)) return 1;
  if (!MakeOrderCurrent(app, number)) return 1;
  const einvoice::Document document = einvoice::MakeDocument(app);
  if (!document.ok) {
    std::fprintf(stderr, "%s\n", document.message.c_str());
    return 1;
  }
  // The file states what the invoice prints today, as a reprint would.
  if (!orders::ConfirmReprintTotal(app)) return 1;
  for (const std::string& note : document.notes) std::fprintf(stderr, "%s\n", note.c_str());
  if (output.empty()) output = einvoice::DefaultFileName(app);
  if (!einvoice::WriteDocument(*app.fileSystem, output, document.xml)) {
    std::fprintf(stderr, "%s\n", platform::OutputFailureText(output).c_str());
    return 1;
  }
  std::printf("%s\n", output.c_str());
  return 0;
}

}  // namespace cli
