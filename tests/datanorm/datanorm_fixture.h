// A fresh data directory with Datanorm files written into it and imported.
#ifndef BELVON_TESTS_DATANORM_DATANORM_FIXTURE_H
#define BELVON_TESTS_DATANORM_DATANORM_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "datanorm/datanorm_import.h"
#include "store/article_file.h"
#include "store/text_field.h"
#include "support/test_app.h"

namespace datanormtest {

inline std::string Header(int version = 4) {
  char line[160];
  std::snprintf(line, sizeof line, "V 010199%-40s%-40s%-35s%02dEUR\n", "Elektro Großhandel",
                "Preisliste", "Tel. 0711 4711", version);
  return line;
}

struct DataDir : testsupport::TestApp {
  DataDir() { frame::LoadParameters(app); }

  std::string put(const std::string& name, const std::string& bytes) {
    testsupport::WriteBytes(dir.file(name), {bytes.begin(), bytes.end()});
    return dir.file(name);
  }
  datanorm::ImportResult import(const std::string& bytes, bool bulk = true, bool dm = false) {
    return importFile(put("in.001", bytes), bulk, dm);
  }
  datanorm::ImportResult importFile(const std::string& path, bool bulk = true, bool dm = false) {
    datanorm::ImportOptions options{path, "Sonepar", dm, bulk};
    options.bulkOptions.sync = false;  // keeps the tests quick; a sync changes no byte
    ui.defaultAnswer = true;
    return datanorm::ImportDatanorm(app, options);
  }
  // The stored article as "number|designation|group|remark 1|remark 2|unit|
  // price 1|price 2|purchase price|stock 1|supplier|flags", "-" when missing.
  std::string article(const std::string& number) {
    store::ArticleRecord a{};
    store::SetText(a.number, number);
    std::int32_t at = -1;
    if (!store::FindArticleByNumber(app, a, at) || !store::ReadArticle(app, a, at)) return "-";
    std::string text;
    for (std::string_view field : {store::GetText(a.number), store::GetText(a.designation),
                                   store::GetText(a.productGroup), store::GetText(a.remark1),
                                   store::GetText(a.remark2), store::GetText(a.unit)})
      text += std::string(field) + "|";
    for (double value : {double(a.price1), double(a.price2), double(a.purchasePrice), a.stock[0]})
      text += std::to_string(static_cast<long>(value)) + "|";
    return text + std::string(store::GetText(a.supplier)) + "|" + std::to_string(+a.flags);
  }
  std::vector<std::uint8_t> bytes(const char* name) { return testsupport::ReadBytes(dir.file(name)); }
};

struct DatanormTest : ::testing::Test, DataDir {};

}  // namespace datanormtest

#endif  // BELVON_TESTS_DATANORM_DATANORM_FIXTURE_H
