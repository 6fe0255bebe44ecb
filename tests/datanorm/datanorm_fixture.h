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

// A V record of version `version` with CR LF or LF line ends.
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
    datanorm::ImportOptions options;
    options.fileName = path;
    options.supplier = "Sonepar";
    options.dmToEuro = dm;
    options.bulk = bulk;
    options.bulkOptions.sync = false;  // keeps the tests quick; a sync changes no byte
    ui.defaultAnswer = true;
    return datanorm::ImportDatanorm(app, options);
  }
  // The stored article in a line of its fields, "-" when there is none.
  std::string article(const std::string& number) {
    store::ArticleRecord a{};
    store::SetText(a.number, number);
    std::int32_t position = -1;
    if (!store::FindArticleByNumber(app, a, position) || !store::ReadArticle(app, a, position))
      return "-";
    const double stock = a.stock[0];
    const std::int32_t price1 = a.price1, price2 = a.price2, purchase = a.purchasePrice;
    return std::string(store::GetText(a.number)) + "|" + std::string(store::GetText(a.designation)) +
           "|" + std::string(store::GetText(a.productGroup)) + "|" +
           std::string(store::GetText(a.remark1)) + "|" + std::string(store::GetText(a.remark2)) +
           "|" + std::string(store::GetText(a.unit)) + "|" + std::to_string(price1) + "|" +
           std::to_string(price2) + "|" + std::to_string(purchase) + "|" +
           std::to_string(static_cast<int>(stock)) + "|" +
           std::string(store::GetText(a.supplier)) + "|" + std::to_string(+a.flags);
  }
  std::vector<std::uint8_t> bytes(const char* name) { return testsupport::ReadBytes(dir.file(name)); }
};

struct DatanormTest : ::testing::Test, DataDir {};

}  // namespace datanormtest

#endif  // BELVON_TESTS_DATANORM_DATANORM_FIXTURE_H
