// The dunning run: which invoices get a letter at which level, when the
// levels are stored, and what a letter says.
#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "core/decimal.h"
#include "store/dunning_dates.h"
#include "store/parameter_file.h"
#include "letters/dunning_renderer.h"
#include "letters/dunning_texts.h"
#include "letters/letter_text.h"
#include "printing/recording_canvas.h"
#include "support/case_table.h"
#include "support/order_book.h"
#include "support/run_command.h"
#include "support/test_app.h"

namespace letters {
namespace {

using printing::RecordingCanvas;

// A level needs more days past the due date than its period, and a run
// raises the stored level by one at most.
TEST(DunningLevel, MoreDaysThanItsPeriodAndOneStepPerRun) {
  struct Case {
    long days;
    int stored, level;
  };
  for (const Case& c : std::initializer_list<Case>{
           {14, 0, 0}, {15, 0, 1}, {28, 1, 1}, {29, 1, 2}, {42, 2, 2}, {43, 2, 3}, {400, 3, 3},
           {-5, 0, 0}, {29, 0, 1}, {400, 0, 1}, {400, 1, 2}}) {
    EXPECT_EQ(DunningLevel(c.days, {14, 28, 42}, c.stored), c.level) << c.days << " " << c.stored;
  }
  // Periods of 0 or less still wait for the day after the due date.
  EXPECT_EQ(DunningLevel(0, {-3, 0, 0}, 0), 0);
  EXPECT_EQ(DunningLevel(1, {-3, 0, 0}, 0), 1);
}

// The amount due with the level's fee, in each figure style; the German
// style groups the thousands.
TEST(DunningLetter, TheAmountDueLineInEachFigureStyle) {
  store::ParameterRecord parameters{};
  store::SetText(parameters.currencySymbol1, "EUR");
  parameters.dunningFees[1] = 5;
  store::OrderHead head{};
  head.total = 123456789;
  head.paid = 1000;
  using frame::FigureStyle;
  for (const auto& [style, level, expected] :
       {std::tuple{FigureStyle::Point, 2, "sich auf 1234562.89 EUR inkl. 5.00 EUR Mahngebühren."},
        std::tuple{FigureStyle::German, 2, "sich auf 1.234.562,89 EUR inkl. 5,00 EUR Mahngebühren."},
        std::tuple{FigureStyle::Point, 1, "sich auf 1234557.89 EUR."},
        std::tuple{FigureStyle::German, 1, "sich auf 1.234.557,89 EUR."}}) {
    EXPECT_EQ(AmountDueLine(parameters, head, level, style), expected);
  }
}

// A printer (drawing onto `paper`) that the user may abort, and a preview
// that keeps its session and the call it makes when it prints.
struct FakeHost : printing::PrintHost {
  struct Printer : printing::PrinterDevice, printing::AbortDialog {
    explicit Printer(FakeHost& h) : host(h) {}
    printing::PrinterInfo info() const override { return {210, 297, 2480, 3508}; }
    printing::Canvas* beginDocument(const std::string&, std::function<bool()>) override {
      return &(host.paper = RecordingCanvas());
    }
    bool endDocument() override { return !host.deviceFails; }
    void abortDocument() override {}
    bool aborted() override { return host.abort; }
    bool progress(int) override { return host.abort; }
    FakeHost& host;
  };
  std::unique_ptr<printing::PrinterDevice> choosePrinter(const std::string&) override {
    return cancel ? nullptr : std::make_unique<Printer>(*this);
  }
  std::unique_ptr<printing::AbortDialog> openAbortDialog() override { return std::make_unique<Printer>(*this); }
  int screenWidth() const override { return 1280; }
  void openPreview(frame::AppState&, const printing::PrintSession& s, std::function<void()> p) override {
    std::tie(previewed, previewPrinted) = std::tuple(s, p);
  }
  void jobFinished() override {}
  void closeOrderPrintDialog() override {}

  bool cancel = false, abort = false, deviceFails = false;
  RecordingCanvas paper;
  printing::PrintSession previewed;
  std::function<void()> previewPrinted;
};

constexpr const char* kLetterLine = "Der fällige Betrag aus der Rechnung Nr.: %d vom 06.11.2026 beläuft";

// Periods 14, 28, 42, fee 5 from level 1 on, the dunning date 06.12.2026.
// The invoices are due on their invoice date unless a test gives them a
// payment period.
class DunningRunTest : public ::testing::Test, public testsupport::OrderBook {
 protected:
  DunningRunTest() {
    store::ParameterRecord& p = app.parameters;
    for (int i = 0; i < 3; ++i) p.dunningPeriods[i] = static_cast<std::int16_t>(14 * (i + 1));
    p.dunningFees[0] = p.dunningFees[1] = 5;
    store::SetText(p.dunningTitle1, "Erinnerung 100%");
    store::SetText(p.dunningText1, dir.file("stufe1.txt"));
    store::SetText(p.currencySymbol1, "EUR");
    std::ofstream(dir.file("stufe1.txt"), std::ios::binary) << "Sehr geehrte Damen,\r\n\r\nbitte zahlen.";
  }
  std::int32_t invoice(std::int32_t customerRef, const char* date, std::int32_t open = 12345,
                       std::int16_t paymentPeriod = 0, std::uint8_t level = 0) {
    const std::int32_t number =
        order(customerRef, store::kOrderInvoicePrinted, {{1, open}}, date).orderNumber;
    if (paymentPeriod != 0 || level != 0) {
      EXPECT_EQ(store::ChangeOrderHead(app, number, [&](store::OrderHead& head) {
                  head.paymentPeriod = paymentPeriod;
                  head.dunningLevel = level;
                  return true;
                }),
                1);
    }
    return number;
  }
  int level(std::int32_t number) { return stored(number).dunningLevel; }
  // The lines naming the invoice of each letter on the page.
  static std::vector<std::string> Letters(const RecordingCanvas& canvas) {
    std::vector<std::string> found;
    for (const auto* op : canvas.texts())
      if (op->text.rfind("Der fällige", 0) == 0) found.push_back(op->text);
    return found;
  }
  static std::string Line(std::int32_t number) { return frame::Format(kLetterLine, number); }
  printing::JobEnd run(FakeHost& host, bool reprint = false) {
    return PrintDunningLetters(app, host, {"06.12.2026", reprint, -1});
  }
};

TEST_F(DunningRunTest, LevelsAreStoredOnlyWhenTheLettersWentToThePrinter) {
  const std::int32_t ref = customer("Müller");
  const std::int32_t due = invoice(ref, "06.11.2026");  // 30 days, first letter: level 1
  // None of these: 14 days old, 1 cent open, dated 30.11.1999, not invoiced.
  const std::vector<std::int32_t> never = {
      invoice(ref, "22.11.2026"), invoice(ref, "06.11.2026", 1), invoice(ref, "30.11.1999"),
      order(ref, store::kOrderDeliveryNotePrinted, {{1, 500}}, "06.11.2026").orderNumber};
  const std::int32_t quietRef = customer("Schulz");
  app.address.salutation |= store::kAddressNoDunning;  // "Nicht mahnen"
  std::int32_t position = app.addresses.position;
  store::WriteAddress(app, app.address, position, false);
  const std::int32_t unwanted = invoice(quietRef, "06.11.2026");
  FakeHost host;

  // A preview draws every letter over the other on one sheet and stores nothing.
  app.parameters.printPreview = 1;
  ASSERT_EQ(run(host), printing::JobEnd::Previewing);
  RecordingCanvas sheet(true);
  printing::RenderContext context(app, host.previewed);
  DunningRenderer().render(sheet, printing::PreviewGeometry({210, 297, 2480, 3508}, 3), context);
  EXPECT_EQ(Letters(sheet), std::vector<std::string>{Line(due)});
  EXPECT_EQ(level(due) + level(unwanted), 0);

  // No printer, a printer that fails on the letters, or a print the user
  // aborted: nothing stored either.
  app.parameters.printPreview = 0;
  host.cancel = true;
  EXPECT_EQ(run(host), printing::JobEnd::NoPrinter);
  host.cancel = false;
  host.deviceFails = true;
  EXPECT_EQ(run(host), printing::JobEnd::Failed);
  host.deviceFails = false;
  host.abort = true;
  EXPECT_EQ(run(host), printing::JobEnd::Aborted);
  EXPECT_EQ(level(due) + level(unwanted), 0);

  // Printing from the preview stores level 1, also for "Nicht mahnen".
  host.previewPrinted();
  EXPECT_EQ(std::pair(level(due), level(unwanted)), std::pair(1, 1));
  for (std::int32_t number : never) EXPECT_EQ(level(number), 0) << number;

  // The same day again: no letter, so no page either, only the word, though
  // the invoice is old enough for level 2: the first letter's pay-by date
  // has not passed. With reprint the level-1 letter again.
  host.abort = false;
  host.paper.clear();
  ASSERT_EQ(run(host), printing::JobEnd::Nothing);
  EXPECT_TRUE(host.paper.ops().empty());
  EXPECT_EQ(ui.texts().back(), "Keine Mahnungen fällig");
  ASSERT_EQ(run(host, true), printing::JobEnd::Printed);
  EXPECT_EQ(Letters(host.paper), std::vector<std::string>{Line(due)});
  EXPECT_EQ(level(due), 1);
}

// However late the run, each run raises the level by one; a reprint on an
// earlier dunning date prints the lower level's letter but keeps the level
// stored: the next run must not start over with level 1.
TEST_F(DunningRunTest, OneLevelPerRunAndAStoredLevelNeverFalls) {
  const std::int32_t due = invoice(customer("Müller"), "06.11.2026");
  FakeHost host;
  // Each run waits for the pay-by date of the one before (10 days on).
  const char* runs[] = {"26.12.2026", "05.01.2027", "06.01.2027", "16.01.2027", "17.01.2027",
                        "01.03.2027"};
  const int levels[] = {1, 1, 2, 2, 3, 3};
  for (int k = 0; k < 6; ++k) {
    SCOPED_TRACE(runs[k]);
    const bool rises = k == 0 || levels[k] > levels[k - 1];
    EXPECT_EQ(PrintDunningLetters(app, host, {runs[k], false, -1}),
              rises ? printing::JobEnd::Printed : printing::JobEnd::Nothing);
    EXPECT_EQ(level(due), levels[k]);
  }
  EXPECT_EQ(store::LoadDunningDates(app)[due], "17.01.2027");
  ASSERT_EQ(run(host, true), printing::JobEnd::Printed);  // 30 days: level 2
  EXPECT_EQ(Letters(host.paper), std::vector<std::string>{Line(due)});
  EXPECT_EQ(level(due), 3);
}

// An invoice is reminded only once it is due (invoice date plus payment
// period), and the periods count the days after that.
TEST_F(DunningRunTest, RemindedOnlyAfterTheDueDate) {
  const std::int32_t ref = customer("Müller");
  struct Case {
    const char* invoiceDate;
    std::int16_t paymentPeriod;
    std::uint8_t stored;
    int level;  // 0: no letter
  } cases[] = {
      {"05.12.2026", 0, 0, 0},    // one day past due, period 1 is 14
      {"22.11.2026", 0, 0, 0},    // 14 days past due
      {"21.11.2026", 0, 0, 1},    // 15 days
      {"06.11.2026", 30, 0, 0},   // due today
      {"23.10.2026", 30, 0, 0},   // due 22.11.2026: 14 days
      {"22.10.2026", 30, 0, 1},   // due 21.11.2026: 15 days
      {"01.10.2026", 30, 0, 1},   // due 31.10.2026: 36 days, first letter
      {"01.10.2026", 30, 1, 2},   // the same, after the first letter
      {"01.09.2026", 14, 1, 2},   // due 15.09.2026: 82 days, one step up from 1
      {"05.12.2026", 40, 0, 0},   // due 14.01.2027
      {"06.11.2026", -5, 0, 1},   // a negative period is none: 30 days
  };
  std::vector<std::int32_t> numbers;
  for (const Case& c : cases) numbers.push_back(invoice(ref, c.invoiceDate, 12345, c.paymentPeriod, c.stored));
  std::map<std::int32_t, int> levels;
  for (const DunningItem& item : SelectDunning(app, {"06.12.2026", false, -1}, false))
    levels[item.head.orderNumber] = item.level;
  for (std::size_t i = 0; i < numbers.size(); ++i)
    EXPECT_EQ(levels[numbers[i]], cases[i].level)
        << cases[i].invoiceDate << " +" << cases[i].paymentPeriod << " stored " << +cases[i].stored;
}

// Two letters of a level whose text file is gone: told once, both printed
// without a body, each on its own page.
TEST_F(DunningRunTest, LetterLayoutAndAMissingLevelText) {
  const std::int32_t ref = customer("Müller");
  const std::int32_t first = invoice(ref, "06.11.2026");
  invoice(ref, "06.11.2026", 2);

  FakeHost host;
  ASSERT_EQ(run(host), printing::JobEnd::Printed);
  const RecordingCanvas& paper = host.paper;
  const auto* title = paper.findText("Erinnerung 100%");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(std::tuple(title->x, title->y, title->align, title->font),
            std::tuple(1050, 1020, printing::TextAlign::Centre, printing::Font{"Arial", -80, 600}));
  std::vector<std::pair<int, std::string>> body;
  for (const auto* op : paper.texts())
    if (op->x == 150 && op->y >= 1160 && op->y < 1900) body.emplace_back(op->y, op->text);
  const std::vector<std::pair<int, std::string>> expected = {
      {1160, "Sehr geehrte Damen,"}, {1280, "bitte zahlen."}, {1400, Line(first)},
      {1460, "sich auf 128.45 EUR inkl. 5.00 EUR Mahngebühren."}, {1640, "Mit freundlichen Grüßen"}};
  body.resize(std::min(body.size(), expected.size()));  // the first letter
  EXPECT_EQ(body, expected);
  EXPECT_EQ(paper.findText("Datum: 06.12.2026")->y, 900);
  EXPECT_EQ(paper.ofKind(RecordingCanvas::Kind::EndPage).size(), 2u);  // a page per letter

  std::remove(dir.file("stufe1.txt").c_str());
  ASSERT_EQ(run(host, true), printing::JobEnd::Printed);
  EXPECT_EQ(ui.texts().size(), 1u);
  EXPECT_EQ(Letters(host.paper).size(), 2u);
  EXPECT_EQ(host.paper.findText(Line(first))->y, 1220);
  EXPECT_NE(host.paper.findText("sich auf 5.02 EUR inkl. 5.00 EUR Mahngebühren."), nullptr);

  // No file named for the level: said once, without an empty "()".
  store::SetText(app.parameters.dunningText1, "");
  ASSERT_EQ(run(host, true), printing::JobEnd::Printed);
  EXPECT_EQ(ui.texts().size(), 2u);
  EXPECT_EQ(ui.texts().back(), "Für die 1. Mahnstufe ist keine Textdatei angegeben.\n"
                               "Die Mahnungen werden ohne diesen Text gedruckt.");

  // The same letters in the German style.
  app.figures = frame::FigureStyle::German;
  ASSERT_EQ(run(host, true), printing::JobEnd::Printed);
  EXPECT_NE(host.paper.findText("sich auf 5,02 EUR inkl. 5,00 EUR Mahngebühren."), nullptr);
}

// A dunning text written on Linux in UTF-8 prints line by line with its
// umlauts, and a line wider than the text wraps inside it.
TEST_F(DunningRunTest, TextFilesOfAnyEditorPrintLineByLineInsideTheMargins) {
  std::string words;
  for (int i = 0; i < 60; ++i) words += "bitte ";
  std::ofstream(dir.file("stufe1.txt"), std::ios::binary | std::ios::trunc)
      << "Sie haben unsere Rechnung sicher \xC3\xBC" "bersehen.\n\n" << words << "\n";
  const std::int32_t number = invoice(customer("Müller"), "06.11.2026");
  FakeHost host;
  ASSERT_EQ(run(host), printing::JobEnd::Printed);
  const int amountLine = host.paper.findText(Line(number))->y;
  std::vector<const RecordingCanvas::Op*> body;
  for (const auto* op : host.paper.texts())
    if (op->x == 150 && op->y >= 1160 && op->y < amountLine) body.push_back(op);
  ASSERT_GE(body.size(), 4u);
  EXPECT_EQ(std::pair(body[0]->text, body[0]->y), std::pair(std::string("Sie haben unsere Rechnung sicher übersehen."), 1160));
  EXPECT_EQ(body[1]->y, 1280);  // the empty line counts
  std::size_t said = 0;
  for (std::size_t i = 1; i < body.size(); ++i) {
    const int width = static_cast<int>(body[i]->text.size()) * RecordingCanvas::EmHeight(body[i]->font) / 2;
    EXPECT_LE(150 + width, 1900) << body[i]->text;
    for (std::size_t at = body[i]->text.find("bitte"); at != std::string::npos; at = body[i]->text.find("bitte", at + 1))
      ++said;
  }
  EXPECT_EQ(said, 60u) << "every word printed once";
}

// The fields a letter text names, filled per invoice; the texts of a new
// directory name the amount and the pay-by date and print them.
TEST_F(DunningRunTest, LetterTextsNameTheAmountAndThePayByDate) {
  DunningItem item;
  item.head.orderNumber = 126120002;
  item.head.total = 1097638241;
  store::SetText(item.head.invoiceDate, "07.12.2026");
  item.head.paymentPeriod = 30;
  item.level = 2;
  EXPECT_EQ(FillLetterFields("Nr. {Rechnung} vom {F\xE4llig am}: {Betrag} bis {Zahlbar bis}. "
                             "{Unbekannt} {Betrag",
                             app.parameters, item, "20.01.2027", frame::FigureStyle::German),
            "Nr. 126120002 vom 06.01.2027: 10.976.387,41 EUR bis 30.01.2027. {Unbekannt} {Betrag");

  const std::int32_t number = invoice(customer("Müller"), "06.11.2026");
  std::ofstream(dir.file("stufe1.txt"), std::ios::binary | std::ios::trunc) << DefaultDunningText(1);
  FakeHost host;
  ASSERT_EQ(run(host), printing::JobEnd::Printed);
  std::string body;
  for (const auto* op : host.paper.texts())
    if (op->x == 150 && op->y >= 1160 && op->y < host.paper.findText(Line(number))->y) body += op->text + " ";
  EXPECT_NE(body.find("Nr. " + std::to_string(number) + " war am 06.11.2026 fällig"), std::string::npos) << body;
  EXPECT_NE(body.find("Betrag von 128.45 EUR bis zum 16.12.2026."), std::string::npos) << body;
}

// The dates of the last letters: lines that name no order or no real day
// are left out, and what is written reads back the same.
TEST(DunningDates, ReadBackAsWrittenWithoutForeignLines) {
  const store::DunningDates dates = store::ParseDunningDates(
      "[Mahnungen]\r\n126120002=07.12.2026\r\n7 = 1.2.27\nabc=07.12.2026\n0=07.12.2026\n"
      "5=31.02.2026\n6=\n");
  EXPECT_EQ(dates, (store::DunningDates{{7, "01.02.2027"}, {126120002, "07.12.2026"}}));
  EXPECT_EQ(store::ParseDunningDates(store::DunningDatesText(dates)), dates);
}

// Every text file the user names is read by one rule: UTF-8 when it is
// valid UTF-8, else Windows-1252; CR LF, LF and CR end lines.
TEST(UserTextFile, ReadTheSameWayWhateverWroteIt) {
  testsupport::TestApp t;
  testsupport::ExpectEach<std::string, std::string>(
      [&t](const std::string& bytes) {
        std::ofstream(t.dir.file("text.txt"), std::ios::binary) << bytes;
        std::string text = "vorher";
        EXPECT_EQ(LoadLetterText(*t.app.fileSystem, t.dir.file("text.txt"), text), LoadResult::Loaded);
        return text;
      },
      {{"a\r\nb\r\n", "a\r\nb\r\n"},
       {"a\nb\n", "a\r\nb\r\n"},
       {"a\rb\r", "a\r\nb\r\n"},
       {"a\n\r\n\rb", "a\r\n\r\n\r\nb"},
       {"M\xC3\xBCller \xE2\x82\xAC", "M\xFCller \x80"},  // UTF-8
       {"M\xFCller \x80", "M\xFCller \x80"},                  // Windows-1252
       {"\xEF\xBB\xBF\xC3\xBC", "\xFC"},                        // UTF-8 with its mark
       {"", ""}});
}

// belvon-cli print 16 is a preview unless --issue stands for the printer.
TEST_F(DunningRunTest, CommandLineStoresLevelsOnlyWithIssue) {
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  const std::int32_t due = invoice(customer("Bauer"), "06.11.2026");
  ASSERT_EQ(frame::SaveParameters(app), 1);
  const std::string run = cli + " --data-dir " + dir.path() + " print 16 --date 06.12.2026 --png " + dir.file("png");
  // Nothing due yet: no page, status 3 ("nothing to do").
  std::string said;
  EXPECT_EQ(testsupport::RunCommand(cli + " --data-dir " + dir.path() + " print 16 --date 10.11.2026 --pdf " +
                                        dir.file("keine.pdf"), nullptr, &said), 3);
  EXPECT_NE(said.find("Keine Mahnungen fällig\n"), std::string::npos) << said;
  EXPECT_FALSE(std::ifstream(dir.file("keine.pdf")).good());
  EXPECT_EQ(testsupport::RunCommand(run), 0);
  EXPECT_EQ(level(due), 0);
  EXPECT_EQ(testsupport::RunCommand(run + " --customer Bauer --issue"), 0);
  EXPECT_EQ(level(due), 1);
}

}  // namespace
}  // namespace letters
