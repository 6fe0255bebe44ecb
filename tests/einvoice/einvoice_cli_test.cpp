// belvon-cli einvoice on a data directory: the file of an issued invoice, and
// for what the rules would reject one German message naming every missing
// value, and no file. (--yes: the stored total, made without tax, is not
// today's.)
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "einvoice/einvoice_seller.h"
#include "store/parameter_file.h"
#include "support/order_book.h"
#include "support/run_command.h"

namespace {

struct Case {
  const char* name;
  std::function<void(store::ParameterRecord&)> change;
  std::vector<const char*> named;  // in the message; none: the file is written
  std::uint16_t orderFlags = store::kOrderInvoicePrinted;
};

TEST(EInvoiceCommand, WritesTheIssuedInvoiceOrNamesEveryMissingValueAndWritesNothing) {
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  const std::vector<Case> cases = {
      {"complete", [](store::ParameterRecord&) {}, {}},
      {"no IBAN", [](store::ParameterRecord& p) { store::SetText(p.bank1Iban, ""); }, {"IBAN 1"}},
      {"wrong check digits", [](store::ParameterRecord& p) { store::SetText(p.bank1Iban, "DE88 3704 0044 0532 0130 00"); },
       {"Prüfziffer"}},
      {"no seller address, VAT ID or tax number",
       [](store::ParameterRecord& p) { store::SetText(p.street, ""), store::SetText(p.town, ""), store::SetText(p.vatId, ""); },
       {"Strasse der Firma", "Postleitzahl im Ort der Firma", "Ort der Firma", "oder Steuernummer"}},
      {"no invoice", [](store::ParameterRecord&) {}, {"keine ausgestellte Rechnung"}, 0},
      // Three capitals, but no currency in use: the rules would refuse the file.
      {"currency DEM", [](store::ParameterRecord& p) { store::SetText(p.currencySymbol1, "DEM"); },
       {"Währung \"DEM\""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testsupport::OrderBook book;
    store::AddressRecord customer{};
    customer.length = sizeof customer, customer.kind = store::kAddressCustomer;
    einvoicetest::Complete(book.app.parameters, customer);
    c.change(book.app.parameters);
    ASSERT_EQ(frame::SaveParameters(book.app), 1);
    std::int32_t position = -1;
    store::WriteAddress(book.app, customer, position, true);
    const long number = book.order(static_cast<std::int32_t>(book.app.addresses.entry.offset), c.orderFlags,
                                   {{2, 1050, -1, 0, 0, "A-1", store::kTaxCodeRate2}}).orderNumber;

    const std::string file = book.dir.file("out.xml");
    std::string output;
    const int status = testsupport::RunCommand("(" + cli + " --yes --data-dir " + book.dir.path() + " einvoice --order " +
                                               std::to_string(number) + " --output " + file + " 2>&1)", &output);
    EXPECT_EQ(status, c.named.empty() ? 0 : 1) << output;
    EXPECT_EQ(std::filesystem::exists(file), c.named.empty()) << output;
    for (const char* value : c.named) EXPECT_NE(output.find(value), std::string::npos) << output;
  }
}

}  // namespace
