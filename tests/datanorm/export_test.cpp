#include <cstring>

#include "datanorm/address_export.h"
#include "datanorm/datanorm_export.h"
#include "datanorm_fixture.h"
#include "store/address_file.h"
#include "support/run_command.h"

namespace datanormtest {
namespace {

std::vector<std::string> Lines(const std::vector<std::uint8_t>& bytes) {
  std::vector<std::string> lines;
  std::string text(bytes.begin(), bytes.end());
  for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(text.substr(at, end - at));
  return lines;
}

const std::string kVLine = "V 180907" + std::string(16, ' ') + "Zarvento EDV-Entwicklung" +
                           std::string(39, ' ') + "-" + std::string(34, ' ') + "-04EUR";

TEST_F(DatanormTest, ExportWritesEveryArticleAsAAndB) {
  EXPECT_EQ(datanorm::ExportDatanorm(app, dir.file("out.001")).articles, 0);
  EXPECT_EQ(Lines(bytes("out.001")), std::vector<std::string>{kVLine}) << "an empty file";
  struct Case { const char *number, *designation, *remark1, *remark2; std::int32_t price; const char *a, *b; };
  const Case cases[] = {
      {"12345678901234567890", "Eine sehr lange Bezeichnung", "", "", 5,
       "A;N;123456789012345;;;;1;0;Stck;5;;;;", "B;N;123456789012345;Eine sehr lange;;;0;;;;;;0;1;;;"},
      {"4711", "Kabel;rot", "NYM;3x1,5", "Zeile 1\r\nZeile 2", 99999999,
       "A;N;4711;;NYM,3x1,5;Zeile 1  Zeile 2;1;0;Stck;99999999;;;;", "B;N;4711;Kabel,rot;;;0;;;;;;0;1;;;"},
      // A price wider than its 8 characters would be cut into another one:
      // such an article is left out and named.
      {"4712", "", "", "", 123456789, nullptr, nullptr},
      {"4713", "", "", "", -12345678, nullptr, nullptr},
      {"4714", "", "", "", -9999999, "A;N;4714;;;;1;0;Stck;-9999999;;;;", "B;N;4714;;;;0;;;;;;0;1;;;"},
      {"\xc4rmel", "K\xfchlschrank", "", "", -42, "A;N;\x8ermel;;;;1;0;Stck;-42;;;;",
       "B;N;\x8ermel;K\x81hlschrank;;;0;;;;;;0;1;;;"},
  };
  for (const Case& c : cases) {
    store::ArticleRecord a{};
    store::SetText(a.number, c.number);
    store::SetText(a.designation, c.designation);
    store::SetText(a.remark1, c.remark1);
    store::SetText(a.remark2, c.remark2);
    store::SetText(a.unit, "kg");
    a.price1 = c.price;
    std::int32_t position = -1;
    ASSERT_TRUE(store::WriteArticle(app, a, position, true));
  }
  const datanorm::ExportResult result = datanorm::ExportDatanorm(app, dir.file("out.001"));
  EXPECT_EQ(std::tuple(result.end, result.articles, result.leftOut), std::tuple(datanorm::ExportEnd::Done, 4, 2));
  EXPECT_NE(ui.texts().back().find("nicht exportiert"), std::string::npos);
  EXPECT_NE(ui.texts().back().find("\n4712\n4713"), std::string::npos) << ui.texts().back();
  // Index order: numbers before letters, the umlaut last.
  std::vector<std::string> expected = {kVLine};
  for (const Case& c : cases)
    if (c.a) expected.insert(expected.end(), {c.a, c.b});
  EXPECT_EQ(Lines(bytes("out.001")), expected);

  // What was written reads back.
  DataDir other;
  ASSERT_EQ(other.importFile(dir.file("out.001")).end, datanorm::ImportEnd::Done);
  EXPECT_EQ(other.article("123456789012345"), "123456789012345|Eine sehr lange||||Stck|5|0|0|0|Sonepar|8");
  EXPECT_EQ(other.article("\xc4rmel"), "\xc4rmel|K\xfchlschrank||||Stck|-42|0|0|0|Sonepar|8");
  EXPECT_NE(other.article("4711").find("|99999999|"), std::string::npos);
  EXPECT_NE(other.article("4714").find("|-9999999|"), std::string::npos);
}

TEST_F(DatanormTest, AddressExport) {
  EXPECT_EQ(datanorm::ExportAddresses(app), 0) << "no addresses, no file";
  EXPECT_EQ(testsupport::FileSize(dir.file("ADRESSEN.TXT")), -1);
  const std::pair<int, const char*> salutations[] = {{0, ";"}, {1, "Firma;"}, {2, "Herrn;"},
                                                     {3, "Firma;"}, {4, "Frau;"}, {8, "An;"}};
  for (const auto& [bits, text] : salutations) {
    store::AddressRecord a{};
    a.salutation = static_cast<std::uint8_t>(bits);
    store::SetText(a.name1, "Name " + std::to_string(bits));
    store::SetText(a.name2, std::string(1, static_cast<char>('A' + bits)));
    for (auto [field, text] : {std::pair<char*, const char*>{a.street, "Haupt;str. 1"},
                               {a.town, "70173 Stuttgart"}, {a.phone, "0711"}, {a.fax, "0712"},
                               {a.mobile, "0170"}, {a.email, "a@b.de"}})
      std::strcpy(field, text);
    store::SetText(a.customerNumber, "1;" + std::to_string(bits));
    std::int32_t position = -1;
    ASSERT_TRUE(store::WriteAddress(app, a, position, true));
  }
  ASSERT_EQ(datanorm::ExportAddresses(app), 1);
  std::vector<std::string> lines = Lines(bytes("ADRESSEN.TXT"));
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], "Anrede;Name 1;Name 2;Name 3;Strasse;PLZ Ort;Telefon;Telefax;Handy;Mailadresse");
  for (std::size_t i = 0; i < std::size(salutations); ++i) {
    const auto& [bits, text] = salutations[i];
    EXPECT_EQ(lines[i + 1], std::string(text) + "Name " + std::to_string(bits) + ";" +
                                std::string(1, static_cast<char>('A' + bits)) +
                                ";;Haupt,str. 1;70173 Stuttgart;0711;0712;0170;a@b.de;1;" +
                                std::to_string(bits));
  }
  store::SetText(app.addressCriteria.name1, "gibt es nicht");
  ASSERT_EQ(datanorm::ExportAddresses(app), 1);
  EXPECT_EQ(Lines(bytes("ADRESSEN.TXT")).size(), 1u);
}

TEST_F(DatanormTest, CommandLine) {
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  const std::string run = "cd " + dir.path() + " && " + cli + " --data-dir " + dir.path() + " ";
  std::string out;
  EXPECT_EQ(testsupport::RunCommand(run + "--yes datanorm-import " + BELVON_DATANORM_SAMPLES +
                                        "fahrjo_datanorm_test.001 --supplier Würth --dm-to-euro", &out), 0);
  EXPECT_EQ(out, "Artikel in der Datei: 1\n");
  EXPECT_NE(article("899977").find("|5112|0|0|0|W\xfcrth|8"), std::string::npos) << article("899977");
  EXPECT_EQ(testsupport::RunCommand(run + "datanorm-export"), 0);
  EXPECT_EQ(Lines(bytes("datanorm.001")).size(), 3u);
  EXPECT_EQ(testsupport::RunCommand(run + "export-addresses"), 1) << "no addresses";
  EXPECT_EQ(testsupport::RunCommand(run + "datanorm-import nix.001"), 2);
}

}  // namespace
}  // namespace datanormtest
