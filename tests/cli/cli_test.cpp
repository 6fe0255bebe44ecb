// belvon-cli as a user runs it: the built binary on a temporary directory.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <span>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "einvoice/einvoice_seller.h"
#include "store/einvoice_settings.h"
#include "store/parameter_file.h"
#include "store/address_file.h"
#include "store/article_file.h"
#include "store/bytes.h"
#include "store/indexed_file.h"
#include "support/order_book.h"
#include "support/run_command.h"

namespace {

using testsupport::FileSize;

struct CliRun {
  int exitCode = -1;
  std::vector<std::string> lines;  // stdout
  std::string errors;              // stderr
};

// Runs belvon-cli with `arguments` (no quoting needed for our temp paths).
CliRun RunCli(const std::string& arguments) {
  CliRun run;
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  EXPECT_FALSE(cli.empty()) << "belvon-cli is not built (BELVON_TEST_BIN)";
  std::string out;
  run.exitCode = testsupport::RunCommand(cli + " " + arguments, &out, &run.errors);
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) run.lines.push_back(line);
  return run;
}

bool Has(const std::string& line, const std::string& part) {
  return line.find(part) != std::string::npos;
}

struct CliTest : ::testing::Test {
  // On the data directory, given without the trailing separator: the
  // command line adds it.
  CliRun cli(const std::string& arguments) {
    return RunCli("--data-dir " + dataDir + " " + arguments);
  }
  testsupport::TempDir dir;
  std::string dataDir = dir.path().substr(0, dir.path().size() - 1);
};

TEST_F(CliTest, InitCreatesTheFilesInsideTheDirectoryAndCounts) {
  CliRun run = cli("init");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.lines, (std::vector<std::string>{"addresses 0", "articles 0", "orders 0"}));
  EXPECT_EQ(FileSize(dir.file("BELVON.PAR")), 0);
  EXPECT_EQ(FileSize(dir.file("ARTIKEL.IDX")), 4);
  EXPECT_EQ(FileSize(dataDir + "BELVON.PAR"), -1);
  // Wrong usage exits with 2 and prints nothing.
  for (const char* wrong : {"dump kunden", "dump", "verbuchen"}) {
    run = cli(wrong);
    EXPECT_EQ(run.exitCode, 2) << wrong;
    EXPECT_TRUE(run.lines.empty()) << wrong;
  }
}

TEST_F(CliTest, DumpArticlesPrintsOneLinePerEntryInIndexOrder) {
  ASSERT_EQ(cli("init").exitCode, 0);
  frame::AppState app;
  app.dataDirectory = dir.path();
  for (auto [number, designation, price] :
       {std::tuple{"B-2", "Mutter", 250}, std::tuple{"A-1", "Schraube \xE4", 1999}}) {
    store::ArticleRecord article{};
    store::SetText(article.number, number);
    store::SetText(article.designation, designation);
    article.price1 = price;
    std::int32_t position = -1;
    std::span<std::uint8_t> bytes(reinterpret_cast<std::uint8_t*>(&article), sizeof article);
    ASSERT_EQ(store::ArticleFile(app).WriteRecord(bytes, position, true), 1);
  }

  CliRun run = RunCli("--data-dir=" + dataDir + " dump articles");
  EXPECT_EQ(run.exitCode, 0);
  ASSERT_EQ(run.lines.size(), 2u);
  const std::string& first = run.lines[0];
  EXPECT_EQ(first.rfind("{\"position\":0,\"offset\":520,", 0), 0u) << first;
  for (const char* part :
       {"\"number\":\"A-1\"", "\"designation\":\"Schraube \xC3\xA4\"", "\"price_1\":1999,"})
    EXPECT_TRUE(Has(first, part)) << first;  // the text decoded from Windows-1252
  EXPECT_EQ(first.back(), '}');
  EXPECT_EQ(run.lines[1].rfind("{\"position\":1,\"offset\":0,", 0), 0u) << run.lines[1];
}

TEST_F(CliTest, DumpParametersShowsTheFileAsItIs) {
  EXPECT_EQ(cli("dump parameters").exitCode, 1);  // no file yet
  frame::AppState app;
  app.dataDirectory = dir.path();
  app.nextOrderNumber = 119080001;
  store::SetText(app.parameters.companyName1, "Belvon GmbH");
  ASSERT_EQ(frame::SaveParameters(app, frame::OrderCounter::FromMemory), 1);
  CliRun saved = cli("dump parameters");
  ASSERT_EQ(saved.lines.size(), 1u);
  for (const char* part :
       {"\"file_size\":3534,", "\"layout\":\"current\"", "\"next_order_number\":119080001,",
        "\"company_name_1\":\"Belvon GmbH\""})
    EXPECT_TRUE(Has(saved.lines[0], part)) << saved.lines[0];

  // A sparse file of 4 GB: read no further than the layout holds.
  std::filesystem::resize_file(dir.file("BELVON.PAR"), 4294967301u);
  CliRun huge = cli("dump parameters");
  EXPECT_EQ(huge.exitCode, 0);
  ASSERT_EQ(huge.lines.size(), 1u);
  EXPECT_TRUE(Has(huge.lines[0], "\"file_size\":4294967301,")) << huge.lines[0];
  struct rusage usage {};
  getrusage(RUSAGE_CHILDREN, &usage);
  EXPECT_LT(usage.ru_maxrss, 1024 * 1024) << "kilobytes resident in the largest run";
}

// A reorganisation killed between its renames left ARTIKEL.DAT compacted
// beside the old ARTIKEL.IDX: even dump, which loads nothing, first finishes
// the swaps the journal names.
TEST_F(CliTest, DumpFinishesAnInterruptedReplacementFirst) {
  ASSERT_EQ(cli("init").exitCode, 0);
  frame::AppState app;
  app.dataDirectory = dir.path();
  for (const char* number : {"B-2", "A-1"}) {
    store::ArticleRecord article{};
    store::SetText(article.number, number);
    std::int32_t position = -1;
    ASSERT_EQ(store::ArticleFile(app).WriteRecord(store::AsBytes(article), position, true), 1);
  }
  // The compacted pair holds the records in index order.
  std::vector<std::uint8_t> data = testsupport::ReadBytes(dir.file("ARTIKEL.DAT"));
  std::rotate(data.begin(), data.begin() + 520, data.end());
  std::vector<std::uint8_t> index = testsupport::ReadBytes(dir.file("ARTIKEL.IDX"));
  store::Store<std::uint32_t>(&index[4 + 22], 0);
  store::Store<std::uint32_t>(&index[4 + 26 + 22], 520);
  testsupport::WriteBytes(dir.file("ARTIKEL.DAT"), data);  // renamed before the kill
  testsupport::WriteBytes(dir.file("A.IDX"), index);
  const std::string journal = "BELVON-TAUSCH\nA.DAT\tARTIKEL.DAT\nA.IDX\tARTIKEL.IDX\nENDE\n";
  testsupport::WriteBytes(dir.file("TAUSCH.JNL"), {journal.begin(), journal.end()});

  CliRun run = cli("dump articles");
  EXPECT_EQ(run.exitCode, 0);
  ASSERT_EQ(run.lines.size(), 2u);
  for (int i : {0, 1})
    EXPECT_TRUE(Has(run.lines[i], i ? "\"offset\":520,\"length\":520,\"number\":\"B-2\""
                                    : "\"offset\":0,\"length\":520,\"number\":\"A-1\""))
        << run.lines[i];
  EXPECT_EQ(FileSize(dir.file("TAUSCH.JNL")), -1);
  EXPECT_EQ(testsupport::ReadBytes(dir.file("ARTIKEL.IDX")), index);
}

TEST_F(CliTest, AMissingDataDirectoryIsCreatedOnlyWithYes) {
  const std::string missing = dataDir + "/neu";
  CliRun refused = RunCli("--data-dir " + missing + " init");
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_TRUE(refused.lines.empty());
  EXPECT_TRUE(Has(refused.errors, "existiert nicht.")) << refused.errors;
  EXPECT_FALSE(std::filesystem::exists(missing));
  EXPECT_EQ(RunCli("--data-dir " + missing + " --yes init").exitCode, 0);
  EXPECT_TRUE(std::filesystem::is_regular_file(missing + "/BELVON.PAR"));
}

// The letter with its text and the blank page; arguments that cannot be
// printed leave no file behind.
TEST_F(CliTest, PrintWritesTheLetterAndRefusesBadArguments) {
  ASSERT_EQ(cli("init").exitCode, 0);
  testsupport::WriteBytes(dir.file("brief.txt"), {'H', 'a', 'l', 'l', 'o', '\n'});
  CliRun letter = cli("print 10 --date 29.02.2028 --text " + dir.file("brief.txt") + " --png " +
                      dir.file("png"));
  EXPECT_EQ(letter.exitCode, 0);
  EXPECT_EQ(letter.lines, std::vector<std::string>{dir.file("png") + "/page-001.png"});
  EXPECT_EQ(cli("print 11 --pdf " + dir.file("leer.pdf")).exitCode, 0);
  EXPECT_GT(FileSize(dir.file("leer.pdf")), 0);
  const std::string pdf = " --pdf " + dir.file("x.pdf");
  const std::pair<std::string, int> refused[] = {
      {"print 10 --pdf a.pdf --png b", 2},
      {"print zehn" + pdf, 2},
      {"print 10 --customer Niemand" + pdf, 1},
      {"print 10 --text " + dir.file("fehlt.txt") + pdf, 1}};
  for (const auto& [arguments, code] : refused)
    EXPECT_EQ(cli(arguments).exitCode, code) << arguments;
  EXPECT_EQ(FileSize(dir.file("x.pdf")), -1);
}

// --- A data directory the command cannot work with ends it with a message
// that names the file, a non-zero exit and the files as they were.

struct CliRefusalTest : CliTest {
  CliRefusalTest() {
    EXPECT_EQ(cli("init").exitCode, 0);
    frame::AppState app;
    app.dataDirectory = dir.path();
    EXPECT_EQ(frame::SaveParameters(app, frame::OrderCounter::FromMemory), 1);
    for (const char* name : {"Meier", "Schulz"}) {
      store::AddressRecord address{};
      store::SetText(address.name2, name);
      std::int32_t position = -1;
      EXPECT_EQ(store::WriteAddress(app, address, position, true), 1);
    }
  }
  // The bytes of a regular file; nothing for anything else (a FIFO is not read).
  std::vector<std::uint8_t> file(const char* name) {
    if (!std::filesystem::is_regular_file(dir.file(name))) return {};
    return testsupport::ReadBytes(dir.file(name));
  }
};

TEST_F(CliRefusalTest, InitEndsWithTheReasonAndChangesNothing) {
  const auto addresses = file("KUNDEN.DAT");
  const auto parameters = file("BELVON.PAR");
  struct Case {
    const char* what;
    const char* named;  // the file the message names
    std::function<void()> damage;
  } cases[] = {
      {"index missing beside records", "KUNDEN.IDX",
       [&] { std::filesystem::remove(dir.file("KUNDEN.IDX")); }},
      {"parameter file is a FIFO", "BELVON.PAR",
       [&] {
         std::filesystem::remove(dir.file("BELVON.PAR"));
         mkfifo(dir.file("BELVON.PAR").c_str(), 0666);
       }},
      {"parameter file of the previous version", "BELVON.PAR",
       [&] {
         testsupport::WriteBytes(dir.file("BELVON.PAR"), std::vector<std::uint8_t>(2000, 1));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(dir.file("KUNDEN.IDX"));
    c.damage();
    const auto damaged = file("BELVON.PAR");
    CliRun run = cli("init");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.lines.empty());
    EXPECT_TRUE(Has(run.errors, dir.file(c.named))) << run.errors;
    EXPECT_EQ(file("KUNDEN.DAT"), addresses);
    EXPECT_EQ(file("BELVON.PAR"), damaged);
    std::filesystem::remove_all(dir.file("KUNDEN.IDX"));
    std::filesystem::remove(dir.file("BELVON.PAR"));
    testsupport::WriteBytes(dir.file("BELVON.PAR"), parameters);
  }
  // With --yes the index is built again from the records.
  CliRun rebuilt = cli("--yes init");
  EXPECT_EQ(rebuilt.exitCode, 0);
  EXPECT_EQ(rebuilt.lines, (std::vector<std::string>{"addresses 2", "articles 0", "orders 0"}));
  EXPECT_EQ(file("KUNDEN.DAT"), addresses);
}

// An order cut short inside its lines is refused by every command that
// shows it, with the reason and a non-zero exit, and never shown with the
// lines of another order.
TEST(CliDamagedOrder, IsRefusedByEveryCommandThatShowsIt) {
  testsupport::OrderBook book;
  const std::int32_t meier = book.customer("Meier");
  book.order(meier, store::kOrderInvoicePrinted, {{1, 1000}, {2, 1300}, {1, 700}});
  const std::string cut = std::to_string(
      book.order(meier, store::kOrderInvoicePrinted, {{1, 1500}, {1, 2070}}).orderNumber);
  std::vector<std::uint8_t> data = testsupport::ReadBytes(book.dir.file("RECHNUNG.DAT"));
  data.resize(data.size() - 100);
  testsupport::WriteBytes(book.dir.file("RECHNUNG.DAT"), data);
  for (const std::string& command :
       {"print 3 --order " + cut + " --pdf " + book.dir.file("out.pdf"),
        "einvoice --order " + cut + " --output " + book.dir.file("out.xml"), std::string("dump orders")}) {
    SCOPED_TRACE(command);
    CliRun run = RunCli("--data-dir " + book.dir.path() + " " + command);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Has(run.errors, "Probleme mit Auftrag #" + cut)) << run.errors;
    if (command[0] == 'd') {
      ASSERT_EQ(run.lines.size(), 2u);
      EXPECT_TRUE(Has(run.lines[0], "\"line\":3,")) << run.lines[0];
      EXPECT_TRUE(Has(run.lines[1], "\"error\":")) << run.lines[1];
      EXPECT_FALSE(Has(run.lines[1], "\"lines\":")) << run.lines[1];
    }
  }
  EXPECT_EQ(FileSize(book.dir.file("out.pdf")), -1);
  EXPECT_EQ(FileSize(book.dir.file("out.xml")), -1);
}

// Another copy that reads the address file keeps issuing from writing the
// customer record back (the command gives up the wait after its bound).
TEST(CliIssue, AWriteThatFailsEndsTheCommandAndLeavesTheOrderUnmarked) {
  testsupport::OrderBook book;
  store::SetText(book.app.parameters.currencySymbol1, "EUR");
  ASSERT_EQ(frame::SaveParameters(book.app), 1);
  const std::int32_t number =
      book.order(book.customer("Meier"), 0, {testsupport::BookLine{1, 1000}}).orderNumber;
  const auto orders = testsupport::ReadBytes(book.dir.file("RECHNUNG.DAT"));
  platform::File reader = platform::SystemFileSystem().open(
      book.dir.file("KUNDEN.DAT"), platform::Access::Read, platform::Share::DenyWrite);
  ASSERT_TRUE(reader);
  CliRun run = RunCli("--data-dir " + book.dir.path() + " --yes print 3 --order " +
                      std::to_string(number) + " --issue --pdf " + book.dir.file("out.pdf"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Has(run.errors,
                  "Die Datei " + book.dir.file("KUNDEN.DAT") + " konnte nicht geschrieben werden."))
      << run.errors;
  EXPECT_TRUE(run.lines.empty());
  EXPECT_EQ(testsupport::ReadBytes(book.dir.file("RECHNUNG.DAT")), orders);
  EXPECT_EQ(+book.stored(number).flags, 0);
}

// Without a currency and any tax rate (first-start settings cancelled) an
// invoice is refused before anything is written, and says where to set them.
TEST(CliIssue, NoInvoiceWithoutCurrencyAndTaxRate) {
  testsupport::OrderBook book;
  const std::int32_t number =
      book.order(book.customer("Meier"), 0, {testsupport::BookLine{1, 1000}}).orderNumber;
  const auto orders = testsupport::ReadBytes(book.dir.file("RECHNUNG.DAT"));
  CliRun run = RunCli("--data-dir " + book.dir.path() + " --yes print 3 --order " +
                      std::to_string(number) + " --issue --pdf " + book.dir.file("out.pdf"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(Has(run.errors, "\"Währungen, UmSt...\"")) << run.errors;
  EXPECT_FALSE(std::filesystem::exists(book.dir.file("out.pdf")));
  EXPECT_EQ(testsupport::ReadBytes(book.dir.file("RECHNUNG.DAT")), orders);
}

// --- Output files: there whole, or an error and nothing issued.

// A seller and a customer that the e-invoice rules accept.
struct SellerBook : testsupport::OrderBook {
  SellerBook() {
    store::AddressRecord customer{};
    customer.length = sizeof customer, customer.kind = store::kAddressCustomer;
    einvoicetest::Complete(app.parameters, customer);
    EXPECT_EQ(frame::SaveParameters(app), 1);
    std::int32_t position = -1;
    store::WriteAddress(app, customer, position, true);
    customerRef = static_cast<std::int32_t>(app.addresses.entry.offset);
  }
  // The number of a new order of the customer with these flags.
  std::string number(std::uint16_t flags) {
    return std::to_string(
        order(customerRef, flags, {{2, 1050, -1, 0, 0, "A-1", store::kTaxCodeRate2}}).orderNumber);
  }
  std::int32_t customerRef = -1;
};

// Every file the command writes is cut off after 512 bytes, as on a full
// disk (SIGXFSZ ignored, so the write fails with EFBIG): the command names
// the file, exits with 1, leaves no part of it behind and marks nothing.
TEST(CliOutput, AFileThatCannotBeWrittenWholeIsAnErrorAndNothingIsIssued) {
  SellerBook book;
  const std::string fresh = book.number(0);
  std::string issued;
  for (int i = 0; i < 12; ++i) issued = book.number(store::kOrderInvoicePrinted);
  // The invoice's PDF carries its e-invoice: it is made in memory, then
  // written like any other file.
  einvoice::Settings settings;
  settings.exemption = einvoice::Exemption::SmallBusiness;
  settings.pdfEInvoice = true;
  ASSERT_TRUE(einvoice::SaveSettings(book.dir.path(), settings));
  const auto orders = testsupport::ReadBytes(book.dir.file("RECHNUNG.DAT"));

  const std::string journal = "export-journal --from 01.12.2026 --to 31.12.2026 --output ";
  const std::pair<const char*, std::string> runs[] = {
      {"rechnung.pdf", "print 3 --issue --order " + fresh + " --pdf "},
      {"seiten", "print 3 --issue --order " + fresh + " --png "},
      {"mahnungen.pdf", "print 16 --issue --date 06.12.2026 --pdf "},
      {"journal.csv", journal},
      {"rechnung.xml", "einvoice --order " + issued + " --output "},
  };
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  ASSERT_FALSE(cli.empty());
  for (const auto& [name, command] : runs) {
    SCOPED_TRACE(name);
    const std::string out = book.dir.file(name);
    const std::string arguments = command + out;
    std::string errors;
    const int status = testsupport::RunCommand("trap '' XFSZ; ulimit -f 1; " + cli +
                                                   " --yes --data-dir " + book.dir.path() + " " +
                                                   arguments,
                                               nullptr, &errors);
    EXPECT_EQ(status, 1) << errors;
    EXPECT_TRUE(Has(errors, out)) << errors;
    EXPECT_FALSE(std::filesystem::is_regular_file(out));
    EXPECT_FALSE(std::filesystem::exists(out + "/page-001.png"));
    EXPECT_FALSE(std::filesystem::exists(out + ".neu"));
    EXPECT_EQ(testsupport::ReadBytes(book.dir.file("RECHNUNG.DAT")), orders);
  }
  // Without the limit the same command writes its file.
  EXPECT_EQ(testsupport::RunCommand(cli + " --data-dir " + book.dir.path() + " " + journal +
                                    book.dir.file("journal.csv")),
            0);
  EXPECT_GT(FileSize(book.dir.file("journal.csv")), 512);
  const std::string pdf = book.dir.file("rechnung.pdf");
  EXPECT_EQ(testsupport::RunCommand(cli + " --data-dir " + book.dir.path() + " print 3 --issue --order " +
                                    fresh + " --pdf " + pdf),
            0);
  const auto written = testsupport::ReadBytes(pdf);
  EXPECT_NE(std::string(written.begin(), written.end()).find("/EmbeddedFiles"), std::string::npos);
  EXPECT_NE(book.stored(std::stoi(fresh)).flags & store::kOrderInvoicePrinted, 0);
  // Its attachment is the e-invoice of the invoice it issued, as the
  // e-invoice command writes it (naming the EN 16931 guideline).
  if (testsupport::RunCommand("command -v pdfdetach >/dev/null") != 0) return;
  const std::string attached = book.dir.file("attached.xml"), command = book.dir.file("command.xml");
  ASSERT_EQ(testsupport::RunCommand("pdfdetach -savefile factur-x.xml -o " + attached + " " + pdf), 0);
  ASSERT_EQ(testsupport::RunCommand(cli + " --data-dir " + book.dir.path() + " einvoice --order " +
                                    fresh + " --output " + command),
            0);
  const auto fromCommand = testsupport::ReadBytes(command), fromPdf = testsupport::ReadBytes(attached);
  std::string expected(fromCommand.begin(), fromCommand.end());
  const std::string xrechnung = "urn:cen.eu:en16931:2017#compliant#urn:xeinkauf.de:kosit:xrechnung_3.0";
  ASSERT_NE(expected.find(xrechnung), std::string::npos);
  expected.replace(expected.find(xrechnung), xrechnung.size(), "urn:cen.eu:en16931:2017");
  EXPECT_EQ(std::string(fromPdf.begin(), fromPdf.end()), expected);
}

// A file read where a pipe or a huge file lies is refused at once with a
// message naming it; nothing waits for the other end of a pipe.
TEST(CliInput, APipeOrAnOversizedFileIsRefusedAtOnce) {
  SellerBook book;
  const std::string invoice = book.number(store::kOrderInvoicePrinted);
  const std::string pdf = " --pdf " + book.dir.file("aus.pdf");
  auto pipe = [&](const char* name) { return [&, name] { mkfifo(book.dir.file(name).c_str(), 0666); }; };
  auto huge = [&](const char* name) {
    return [&, name] { testsupport::WriteBytes(book.dir.file(name), std::vector<std::uint8_t>(200000, 'x')); };
  };
  struct Case {
    const char* what;
    const char* named;
    std::function<void()> plant;
    std::string arguments;
  } cases[] = {
      {"letter text is a pipe", "brief.txt", pipe("brief.txt"), "print 10 --text " + book.dir.file("brief.txt") + pdf},
      {"letter text is huge", "brief.txt", huge("brief.txt"), "print 10 --text " + book.dir.file("brief.txt") + pdf},
      {"e-invoice settings are a pipe", "ERECHNUNG.INI", pipe("ERECHNUNG.INI"), "einvoice --order " + invoice},
      {"e-invoice settings are huge", "ERECHNUNG.INI", huge("ERECHNUNG.INI"), "einvoice --order " + invoice},
      {"customer records are a pipe", "KUNDEN.DAT", pipe("KUNDEN.DAT"), "init"},
  };
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  ASSERT_FALSE(cli.empty());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string planted = book.dir.file(c.named);
    if (std::filesystem::exists(planted)) std::filesystem::rename(planted, planted + ".weg");
    c.plant();
    std::string errors;
    const int status = testsupport::RunCommand("timeout 20 " + cli + " --yes --data-dir " +
                                                   book.dir.path() + " " + c.arguments,
                                               nullptr, &errors);
    EXPECT_EQ(status, 1) << errors;
    EXPECT_TRUE(Has(errors, planted)) << errors;
    std::filesystem::remove(planted);
    if (std::filesystem::exists(planted + ".weg")) std::filesystem::rename(planted + ".weg", planted);
  }
}

// DATEIPFAD without its "/" names the directory, as --data-dir does.
TEST_F(CliTest, TheProfilesDataPathWithoutItsSeparatorNamesTheDirectory) {
  std::filesystem::create_directory(dir.file("daten"));
  std::filesystem::create_directory(dir.file("cfg"));
  const std::string ini = "[BELVON]\nDATEIPFAD=" + dir.file("daten") + "\n";
  testsupport::WriteBytes(dir.file("cfg/belvon.ini"), std::vector<std::uint8_t>(ini.begin(), ini.end()));
  std::string out;
  EXPECT_EQ(testsupport::RunCommand("XDG_CONFIG_HOME=" + dir.file("cfg") + " " +
                                        testsupport::BuiltProgram("belvon-cli") + " init",
                                    &out),
            0);
  EXPECT_EQ(FileSize(dir.file("daten/ARTIKEL.IDX")), 4);
  EXPECT_EQ(FileSize(dir.file("datenBELVON.PAR")), -1);
}

// A link planted in the data directory never leads a write out of it: a
// file the program creates (the address export, the temporary files of the
// reorganisation and of the Datanorm import) replaces the link, and a data
// file that is a link is used only when it leads to a file inside.
TEST(CliLinks, ALinkInTheDataDirectoryNeverLeadsAWriteOutOfIt) {
  testsupport::OrderBook book;
  book.customer("Meier");
  book.article("A-1", 1);
  testsupport::TempDir outside;
  const std::string victim = outside.file("fremd.txt");
  const std::vector<std::uint8_t> untouched = {'u', 'n', 'b', 'e', 'r', 0xFC, 'h', 'r', 't'};
  std::string datanorm = "V 180907" + std::string(115, ' ') + "04EUR\r\nA;N;B-2;;Kabel;;1;0;m;1234;;;;\r\n";
  testsupport::WriteBytes(book.dir.file("katalog.001"), {datanorm.begin(), datanorm.end()});
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  ASSERT_FALSE(cli.empty());
  struct Case {
    const char* link;
    std::string target;
    const char* arguments;
    int status;
  } cases[] = {
      {"ADRESSEN.TXT", victim, "export-addresses", 0},
      {"A.DAT", victim, "reorganise articles", 0},
      {"A.IDX", victim, "reorganise articles", 0},
      {"ARTIKEL.NEU", victim, "datanorm-import katalog.001 --supplier Elektro", 0},
      {"KUNDEN.DAT", victim, "init", 1},
      {"KUNDEN.DAT", book.dir.file("kunden/KUNDEN.DAT"), "init", 0},
  };
  std::filesystem::create_directory(book.dir.file("kunden"));
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.link) + " -> " + c.target);
    testsupport::WriteBytes(victim, untouched);
    const std::string link = book.dir.file(c.link);
    const bool inside = c.target != victim;
    if (std::filesystem::is_regular_file(link)) std::filesystem::rename(link, inside ? c.target : link + ".weg");
    std::filesystem::create_symlink(c.target, link);
    std::string errors;
    const int status = testsupport::RunCommand("cd " + book.dir.path() + " && " + cli +
                                                   " --yes --data-dir " + book.dir.path() + " " +
                                                   c.arguments,
                                               nullptr, &errors);
    EXPECT_EQ(status, c.status) << errors;
    EXPECT_EQ(testsupport::ReadBytes(victim), untouched);
    if (c.status != 0) {
      EXPECT_TRUE(Has(errors, link)) << errors;
    }
    for (const char* name : {"ARTIKEL.DAT", "ARTIKEL.IDX", "KUNDEN.IDX", "ADRESSEN.TXT"})
      EXPECT_FALSE(std::filesystem::is_symlink(book.dir.file(name))) << name;
    // The data file goes back in its place for the next case.
    if (std::filesystem::is_symlink(link)) std::filesystem::remove(link);
    if (inside) std::filesystem::rename(c.target, link);
    if (std::filesystem::exists(link + ".weg")) std::filesystem::rename(link + ".weg", link);
  }
}

}  // namespace
