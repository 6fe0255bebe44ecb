// LEITWEG.INI: the Leitweg-ID of each customer by his number.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "store/leitweg_ids.h"
#include "support/test_app.h"

namespace store {
namespace {

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Each step stores an ID for a customer (old number -> number) and leaves
// the file as shown: the ID follows a renumbered customer, an empty ID
// removes the line, a customer without number keeps none.
TEST(LeitwegIds, TheIdFollowsItsCustomer) {
  testsupport::TestApp t;
  struct Step {
    const char* oldNumber;
    const char* number;
    const char* id;
    const char* file;
  } steps[] = {
      {"", "10001", "991-12345-67", "[Leitweg-IDs]\n10001=991-12345-67\n"},
      {"", "9", "05315-0001-12", "[Leitweg-IDs]\n10001=991-12345-67\n9=05315-0001-12\n"},
      {"10001", "10002", "991-12345-67", "[Leitweg-IDs]\n10002=991-12345-67\n9=05315-0001-12\n"},
      {"9", "9", "", "[Leitweg-IDs]\n10002=991-12345-67\n"},
      {"", "", "991-0-0", "[Leitweg-IDs]\n10002=991-12345-67\n"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(std::string(s.oldNumber) + " -> " + s.number);
    ASSERT_TRUE(StoreLeitwegId(t.app, s.oldNumber, s.number, s.id));
    EXPECT_EQ(FileText(t.dir.file(kLeitwegIdsFileName)), s.file);
  }
  EXPECT_EQ(LeitwegIdOf(t.app, "10002"), "991-12345-67");
  EXPECT_EQ(LeitwegIdOf(t.app, "10001"), "");
  EXPECT_EQ(LeitwegIdOf(t.app, ""), "");
}

}  // namespace
}  // namespace store
