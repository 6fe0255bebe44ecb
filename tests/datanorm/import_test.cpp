#include <random>
#include <tuple>

#include "datanorm/datanorm_lines.h"
#include "datanorm_fixture.h"
#include "store/bytes.h"
#include "store/indexed_file.h"

namespace datanormtest {
namespace {

using datanorm::ImportEnd;

const std::string k8 = ";;;;;;;;";  // behind field 4 of a B record: field 12 comes next
const std::string kTail = "|m|5|0|0|0|Sonepar|8";

// Every rule of the A and B records, on the bulk file and on the single
// operations of the record store alike. Article 4711 is there before.
TEST(DatanormImport, RecordRules) {
  struct Case { const char* name; std::string lines, number, expected; bool dm = false; };
  const Case cases[] = {
      {"new article", "A;N;4711;;Kabel;NYM 3x1,5;1;;m;12345;;ABC;\n", "4711",
       "4711|Kabel|ABC|Kabel|NYM 3x1,5|m|12345|0|0|0|Sonepar|8"},
      {"price in cents", "A;N;1;;K;;1;;m;1234;;;\n", "1", "1|K||K||m|1234|0|0|0|Sonepar|8"},
      {"DM to Euro", "A;N;1;;K;;1;;m;1234;;;\n", "1", "1|K||K||m|630|0|0|0|Sonepar|8", true},
      {"price mark 2", "A;N;1;;K;;2;;m;1234;;;\n", "1", "1|K||K||m|0|0|1234|0|Sonepar|8"},
      {"A;N over an article empties the rest", "A;N;4711;;Neu;;1;;m;5;;;\n", "4711", "4711|Neu||Neu|" + kTail},
      {"B;N after its A;N", "A;N;4711;;Kabel;;1;;m;5;;ABC;\nB;N;4711;Mantelleitung" + k8 + "Tail;\n",
       "4711", "4711|Mantelleitung|ABCTail|Kabel|" + kTail},
      {"B;N of an earlier article", "A;N;1;;K;;1;;m;5;;AB;\nA;N;2;;K;;1;;m;5;;;\nB;N;1;MC" + k8 + "G;\n",
       "1", "1|MC|AB G|K|" + kTail},
      {"a blank matchcode keeps short text 1 as the designation",
       "A;N;1;;Kabel;;1;;m;5;;AB;\nB;N;1;   " + k8 + "X;\n", "1", "1|Kabel|AB X|Kabel|" + kTail},
      {"B;A takes field 10", "A;N;1;;K;;1;;m;5;;ABC;\nB;A;1;MC;;;;;;X10;\n", "1", "1|MC|ABCX10|K|" + kTail},
      {"other record types", "T;N;4711;;1;;Text;\nP;A;4711;1;999;\n", "4711", "4711|Alt|||||0|99|0|5||0"},
      {"numbers cut at 15", "A;N;12345678901234567890;;K;;1;;m;5;;;\nB;N;123456789012345XX;"
       "Eine sehr lange Bezeichnung;\n", "123456789012345", "123456789012345|Eine sehr lange||K|" + kTail},
      {"A;L deletes", "A;N;1;;K;;1;;m;5;;;\nA;L;1;\n", "1", "-"},
      {"B;L deletes", "A;N;1;;K;;1;;m;5;;;\nB;L;1;\n", "1", "-"},
      {"B;N behind an A;A that stored nothing", "A;N;2;;K;;1;;m;5;;;\nA;A;1;;K;;1;;m;5;;;\nB;N;1;MC;\n",
       "1", "-"},
      {"carriage returns", "A;N;1;;K;;1;;m;5;;AB;\r\nB;N;1;MC" + k8 + "X;\r\n", "1",
       "1|MC|AB X|K|" + kTail},
      {"code page 850", "A;N;1;;K\x81hlschrank;Gr\x94\xe1""e;1;;m;5;;;\n", "1",
       "1|K\xfchlschrank||K\xfchlschrank|Gr\xf6\xdf""e" + kTail},
  };
  for (const Case& c : cases) {
    for (bool bulk : {true, false}) {
      SCOPED_TRACE(c.name + std::string(bulk ? " (bulk)" : " (single operations)"));
      DataDir run;
      store::ArticleRecord old{};
      store::SetText(old.number, "4711");
      store::SetText(old.designation, "Alt");
      old.stock[0] = 5;
      old.price2 = 99;
      std::int32_t position = -1;
      ASSERT_TRUE(store::WriteArticle(run.app, old, position, true));
      EXPECT_EQ(run.import(Header() + c.lines, bulk, c.dm).end, ImportEnd::Done);
      EXPECT_EQ(run.article(c.number), c.expected);
    }
  }
}

// A number that is none, or too large for the article, passes its line over
// rather than store another price; the rest of an over-long line is no
// record, whatever it looks like. Both are counted and told.
TEST_F(DatanormTest, BadNumbersAndOverLongLinesAreNeverStored) {
  struct Case { const char* line; const char* price; };  // null: the line is passed over
  const Case cases[] = {
      {"A;N;1;;K;;1;;m;12a45;;;", nullptr},       {"A;N;2;;K;;1;;m;12.345,67;;;", nullptr},
      {"A;N;3;;K;;1;;m;0x1F;;;", nullptr},        {"A;N;4;;K;;1;;m;99999999999;;;", nullptr},
      {"A;N;5;;K;;1;;m;1e400;;;", nullptr},       {"A;N;6;;K;;1;;m;nan;;;", nullptr},
      {"A;N;7;;K;;1x;;m;5;;;", nullptr},          {"A;N;8;;K;;1;;m; 12,5 ;;;", "|12|"},
      {"A;N;9;;K;;1;;m;2147483647;;;", "|2147483647|"}, {"A;N;10;;K;;1;;m;-5;;;", "|-5|"}};
  std::string lines = Header();
  for (const Case& c : cases) lines += c.line + std::string("\n");
  // A text line of 291 characters, and behind them what would make an article.
  lines += "T;N;4711;;1;;" + std::string(datanorm::kLineLength - 13, 'x') + "A;N;EVIL;;;;1;;m;99999999;;;\n";
  lines += "A;N;ZWEI;;K;;1;;m;7;;;\n";
  const datanorm::ImportResult result = import(lines);
  EXPECT_EQ(std::tuple(result.end, result.articles, result.badNumbers, result.cutLines),
            std::tuple(ImportEnd::Done, 4, 7L, 1L));
  for (const Case& c : cases) {
    const std::string number = std::string(c.line).substr(4, std::string(c.line).find(';', 4) - 4);
    if (c.price)
      EXPECT_NE(article(number).find(std::string("|m") + c.price), std::string::npos) << article(number);
    else
      EXPECT_EQ(article(number), "-") << c.line;
  }
  EXPECT_EQ(std::pair(article("EVIL"), article("ZWEI").substr(0, 5)), std::pair(std::string("-"), std::string("ZWEI|")));
  EXPECT_EQ(ui.texts().back(),
            "Datanorm-Import:\n7 Artikelzeile(n) mit ungültiger oder zu großer Zahl (Preis, "
            "Preiskennzeichen) wurden übersprungen, die erste in Zeile 2.\n"
            "1 Zeile(n) waren länger als 291 Zeichen; der Rest wurde nicht eingelesen, die erste in Zeile 12.");
}

// Article numbers that differ only in letter case are different articles:
// a catalogue line changes or deletes the one it names exactly, in either
// way of storing, and never its case variant.
TEST(DatanormImport, OnlyTheExactNumberIsChangedOrDeleted) {
  auto line = [](char kind, const char* number, const char* price) {
    return std::string("A;") + kind + ";" + number + ";00;Text " + number + ";;1;0;Stk;" + price + ";R01;001;\n";
  };
  for (bool bulk : {true, false}) {
    SCOPED_TRACE(bulk ? "bulk" : "record by record");
    DataDir d;
    // The price of the article stored under exactly `number`, -1 for none.
    auto price = [&d](const char* number) -> long {
      store::ArticleRecord a{};
      store::SetText(a.number, number);
      std::int32_t at = -1;
      if (store::ArticleFile(d.app).LookupExactKey(store::AsBytes(a), at) != 1 ||
          store::ReadArticle(d.app, a, at) != 1)
        return -1;
      return a.price1;
    };
    d.import(Header() + line('N', "abc", "100") + line('N', "Kabel", "5"), bulk);
    d.import(Header() + line('N', "ABC", "200"), bulk);
    EXPECT_EQ(std::tuple(price("abc"), price("ABC"), price("Kabel")), std::tuple(100, 200, 5));
    d.import(Header() + line('N', "ABC", "300"), bulk);
    EXPECT_EQ(std::tuple(price("abc"), price("ABC")), std::tuple(100, 300));
    d.import(Header() + line('L', "ABC", "0"), bulk);
    EXPECT_EQ(std::tuple(price("abc"), price("ABC"), price("Kabel")), std::tuple(100, -1, 5));
  }
}

TEST_F(DatanormTest, BRecordOfAMissingArticleIsRefusedWithAWarning) {
  import(Header() + "B;N;1;MC;\nB;A;2;MC;\n");
  EXPECT_EQ(ui.texts().back(), "Artikel 1\nist noch nicht angelegt !\nB-Eintrag wird nicht übernommen.");
  EXPECT_EQ(ui.texts().size(), 2u) << "the question and one warning";
}

// Whatever the file holds, the import ends with what it says, and the
// article file stays as it should be.
TEST(DatanormImport, HeaderAndBadInput) {
  std::mt19937 random(7);
  std::string binary(8192, '\0');
  for (char& c : binary) c = static_cast<char>(random());
  struct Case { const char* name; std::string bytes; bool yes; int end /* -1: any */, articles; const char* message; };
  const Case cases[] = {
      {"version 03", Header(3) + "A;N;1;;K;;1;;m;5;\n", true, int(ImportEnd::WrongVersion), 0,
       "Diese Datanormdatei hat nicht die Versionsnummer 4.0\nBitte vor dem Laden nach 4.0 konvertieren."},
      {"No to Datei Info", Header() + "A;N;1;;K;;1;;m;5;\n", false, int(ImportEnd::Declined), 0, nullptr},
      {"V record missing", "A;N;1;;K;;1;;m;5;\n", true, int(ImportEnd::NoHeader), 0, "Kopfsatz (V) fehlt"},
      {"binary file", binary, true, -1, 0, nullptr},
      {"10000-character line", Header() + "A;N;LANG;;" + std::string(10000, 'x') + ";1;;m;5;\nA;N;1;\n",
       true, int(ImportEnd::Done), 2, nullptr},
      {"truncated last line", Header() + "A;N;1;;K;;1;;m;5;\nA;N;2;;K;;1;;m;1", true,
       int(ImportEnd::Done), 2, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DataDir run;
    run.ui.answer({c.yes});
    const datanorm::ImportResult result = datanorm::ImportDatanorm(run.app, {run.put("in.001", c.bytes)});
    EXPECT_TRUE(c.end < 0 || int(result.end) == c.end);
    EXPECT_EQ(result.articles, c.articles);
    EXPECT_TRUE(!c.message || run.ui.texts().back().find(c.message) != std::string::npos);
    EXPECT_EQ(run.OtherCopy(run.dir.path()).articles.lastIndex + 1, c.articles);
  }
}

TEST_F(DatanormTest, EscKeepsWhatWasStored) {
  std::string lines = Header();
  for (int i = 0; i < 300; ++i) lines += "A;N;" + std::to_string(1000 + i) + ";;K;;1;;m;5;\n";
  ui.escapeAtProgress(40);
  const datanorm::ImportResult result = import(lines);
  EXPECT_EQ(result.end, ImportEnd::Stopped);
  EXPECT_GT(result.articles, 0);
  EXPECT_LT(result.articles, 300);
  EXPECT_EQ(OtherCopy(dir.path()).articles.lastIndex + 1, result.articles);
}

// Catalogues as wholesalers send them, which we did not write.
TEST(DatanormImport, RealCatalogues) {
  struct Case { const char* file; ImportEnd end; int articles; const char* number, *expected; };
  const Case cases[] = {
      {"fahrjo_datanorm_test.001", ImportEnd::Done, 1, "899977",
       "899977|MCS316|01 12|HAGER Leitungsschutzschalter AC C 16A 3p|"
       "MCS316 415V 3TE 50Hz Zusatzeinr.m\xf6gl|Stk|10000|0|0|0|Sonepar|8"},
      {"fahrjo_datanorm_2_test.001", ImportEnd::Done, 1, "996634",
       "996634|HAG MCS316|23|Hager MCS316 LS-Schalter 3P 6kA C-16A 3M|QC|STCK|10000|0|0|0|Sonepar|8"},
      {"halo_v4_products_before_texts.001", ImportEnd::Done, 2, "QATA207569016",
       "QATA207569016|HAGER||Tehalit ATA207569016 Endst\xfc""ck|schnittkaschierend ABS "
       "halogenfreiz.LFW|ST|300|0|0|0|Sonepar|8"},
      {"halo_v4_with_empty_lines_and_invalid_tags.001", ImportEnd::Done, 1, "Z-0159",
       "Z-0159|Aufbewahrungspult||Aufbewahrungspult|ABP|St|0|0|19900|0|Sonepar|8"},
      {"halo_v5_first_texts_then_products.001", ImportEnd::WrongVersion, 0, "WPW", "-"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    DataDir run;
    const datanorm::ImportResult result = run.importFile(std::string(BELVON_DATANORM_SAMPLES) + c.file);
    EXPECT_EQ(result.end, c.end);
    EXPECT_EQ(result.articles, c.articles);
    EXPECT_EQ(run.article(c.number), c.expected);
  }
}

}  // namespace
}  // namespace datanormtest
