// The folders of src/ stack as src/layers.txt draws them. The first test
// reads the real tree; the second shows that each rule catches its fault.
#include "layering/include_rules.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(IncludeRules, TheSourcesKeepTheirFloors) {
  const std::string src = BELVON_SOURCE_DIR "/src";
  const layering::Floors floors = layering::ReadFloors(ReadText(src + "/layers.txt"));
  ASSERT_GT(floors.size(), 10u);
  const auto files = layering::ReadSources(src);
  ASSERT_GT(files.size(), 100u);
  for (const std::string& fault : layering::IncludeFaults(floors, files)) ADD_FAILURE() << fault;
}

TEST(IncludeRules, EachBrokenRuleIsNamed) {
  const layering::Floors floors =
      layering::ReadFloors("# bottom first\nplatform\nstore\norders reports\norders/ui\n");
  struct Case {
    const char* name;
    std::vector<layering::SourceFile> files;
    const char* fault;  // a part of the one fault expected, or "" for none
  };
  const Case cases[] = {
      {"down and sideways",
       {{"orders/a.cpp", "#include \"store/s.h\"\n#include \"reports/r.h\"\n#include <vector>\n"},
        {"orders/ui/p.cpp", "#include <QWidget>\n#include \"orders/a.h\"\n"}},
       ""},
      {"up", {{"store/s.cpp", "#include \"orders/a.h\"\n"}}, "store/s.cpp:1: orders/a.h stands above store"},
      {"cycle on one floor",
       {{"orders/a.cpp", "#include \"reports/r.h\"\n"}, {"reports/r.cpp", "  #  include \"orders/a.h\"\n"}},
       "folder cycle: orders -> reports -> orders"},
      {"Qt in the core", {{"orders/a.cpp", "\n#include <QString>\n"}}, "orders/a.cpp:2: <QString> is Qt"},
      {"Qt module header", {{"store/s.cpp", "#include <QtCore/QFile>\n"}}, "<QtCore/QFile> is Qt"},
      {"folder without a floor", {{"tools/t.cpp", ""}}, "the folder tools has no floor"},
      {"include from nowhere", {{"orders/a.cpp", "#include \"frame/x.h\"\n"}}, "frame/x.h lies in no floor"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto faults = layering::IncludeFaults(floors, c.files);
    if (*c.fault == '\0') {
      EXPECT_TRUE(faults.empty()) << faults.front();
    } else {
      ASSERT_EQ(faults.size(), 1u);
      EXPECT_NE(faults[0].find(c.fault), std::string::npos) << faults[0];
    }
  }
}

}  // namespace
