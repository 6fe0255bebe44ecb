#include "cli/payment_commands.h"

#include <cstdio>
#include <map>
#include <span>

#include "cli/print_command.h"
#include "core/decimal.h"
#include "core/figures.h"
#include "store/load_parameters.h"
#include "orders/booking.h"
#include "core/dates.h"
#include "orders/payments.h"
#include "orders/settling.h"
#include "store/address_file.h"
#include "store/indexed_file.h"
#include "store/text_field.h"

namespace cli {

namespace {

// "--name value" pairs and "--flag" switches after the command word; false
// for anything else.
bool ReadOptions(const std::vector<std::string>& args, const std::vector<std::string>& valued,
                 const std::vector<std::string>& switches,
                 std::map<std::string, std::string>& options) {
  auto among = [](const std::vector<std::string>& names, const std::string& name) {
    for (const std::string& n : names)
      if (n == name) return true;
    return false;
  };
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (among(switches, args[i])) {
      options[args[i]] = "1";
    } else if (among(valued, args[i]) && i + 1 < args.size()) {
      options[args[i]] = args[i + 1];
      ++i;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int PayCommand(frame::AppState& app, const std::vector<std::string>& args) {
  std::map<std::string, std::string> options;
  if (!ReadOptions(args, {"--order", "--amount", "--date", "--account"}, {"--cash-discount"},
                   options) ||
      !options.count("--order") || !options.count("--amount")) {
    std::fputs("Aufruf: belvon-cli [--yes] pay --order NUMMER --amount BETRAG [--date TT.MM.JJJJ]\n"
               "                              [--account KONTO] [--cash-discount]\n",
               stderr);
    return 2;
  }
  if (!frame::LoadParameters(app)) return 1;
  orders::PaymentForm form;
  form.orderNumber = options["--order"];
  form.amount = options["--amount"];
  form.paymentDate = options.count("--date") ? orders::EnteredDate(options["--date"])
                                              : orders::FormatDate(*app.clock);
  form.account = options["--account"];
  form.cashDiscount = options.count("--cash-discount") > 0;
  form.confirmLateCashDiscount = true;
  // A date that names no day, or no amount at all, would be booked as it
  // stands: refused before anything is read or written.
  if (form.paymentDate.empty()) {
    std::fprintf(stderr, "Ungültiges Datum: %s\nBitte ein Datum wie 06.12.2026 angeben.\n",
                 options["--date"].c_str());
    return 1;
  }
  if (form.amount.find_first_not_of(" \t") == std::string::npos) {
    std::fputs("Kein Betrag angegeben.\nBitte den gezahlten Betrag angeben (z. B. 119,00).\n",
               stderr);
    return 1;
  }
  if (!orders::BookPayment(app, form)) return 1;
  std::printf(
      "Auftrag %ld: bezahlt %s, offen %s\n", static_cast<long>(app.order.orderNumber),
      frame::Amount(app.figures, app.order.paid / 100.0).c_str(),
      frame::Amount(app.figures, (app.order.total - static_cast<double>(app.order.paid)) / 100.0)
          .c_str());
  return 0;
}

int BookCommand(frame::AppState& app, const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fputs("Aufruf: belvon-cli --yes book\n", stderr);
    return 2;
  }
  if (!frame::LoadParameters(app)) return 1;
  orders::BookingResult result;
  if (!orders::ConfirmAndBookDeliveredOrders(app, &result)) return 1;
  std::printf("Gebuchte Aufträge: %d\nGebuchte Positionen: %d\n", result.ordersBooked,
              result.linesBooked);
  return result.failed || result.stopped ? 1 : 0;
}

int SettleCommand(frame::AppState& app, const std::vector<std::string>& args) {
  std::map<std::string, std::string> options;
  if (!ReadOptions(args, {"--from", "--to", "--customer"}, {"--all"}, options) ||
      !options.count("--from") || !options.count("--to") ||
      options.count("--customer") == options.count("--all")) {
    std::fputs("Aufruf: belvon-cli settle --from NUMMER --to NUMMER (--customer NAME2 | --all)\n",
               stderr);
    return 2;
  }
  if (!frame::LoadParameters(app)) return 1;
  const bool all = options.count("--all") > 0;
  if (!all) {
    // The customer becomes the selected address, as in the address pane.
    if (!SelectCustomerByName(app, options["--customer"])) return 1;
  }
  int settled = 0;
  std::vector<std::int32_t> owedBack;
  const int result = orders::SettleOpenItems(app, frame::ParseWhole(options["--from"].substr(0, 10)),
                                             frame::ParseWhole(options["--to"].substr(0, 10)), all,
                                             &settled, &owedBack);
  std::printf("Egalisierte Aufträge: %d\n", settled);
  if (!owedBack.empty()) std::printf("%s\n", orders::OwedBackNote(owedBack).c_str());
  return result ? 0 : 1;
}

}  // namespace cli
