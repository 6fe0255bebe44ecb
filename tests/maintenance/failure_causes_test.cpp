// A run that cannot write names the real cause: a full disk only when the
// system said so, a read-only folder or a missing permission as what it is;
// and a new index that cannot be made is named itself, not its record file.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <sys/stat.h>

#include "maintenance/maintenance_test_support.h"
#include "maintenance/master_rebuild.h"
#include "store/address_file.h"
#include "support/failing_file_system.h"

namespace maintenance {
namespace {

using namespace testsupport;

struct FailureCauses : StockedBook, ::testing::Test {
  FailureCauses() {
    ui.defaultAnswer = true;
    Stock();
    ui.shown.clear();
  }
  std::string Told() const {
    std::string all;
    for (const std::string& text : ui.texts()) all += text + "\n";
    return all;
  }
};

TEST_F(FailureCauses, TheMessageNamesWhatTheSystemReported) {
  struct Case {
    std::string name;
    platform::IoOp op;
    std::string file;  // the calls on this name fail ("" = every one)
    int error;
    std::string cause;
  };
  const Case cases[] = {
      {"a full disk", platform::IoOp::Write, "", ENOSPC, "der Datenträger ist voll"},
      {"a quota used up", platform::IoOp::Write, "", EDQUOT, "der Datenträger ist voll"},
      {"a read-only mount", platform::IoOp::Open, "/A.DAT", EROFS, "schreibgeschützt"},
      {"no permission", platform::IoOp::Open, "/A.DAT", EACCES, "keine Schreibberechtigung"},
      {"a read-only flush", platform::IoOp::Sync, "", EROFS, "schreibgeschützt"},
  };
  const auto files = Files(dir.path());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ui.shown.clear();
    FailingCalls failing(c.op, c.file, c.error);
    app.fileSystem = &failing;
    const int done = ReorganiseArticles(app);
    app.fileSystem = &platform::SystemFileSystem();
    EXPECT_EQ(done, 0);
    EXPECT_NE(Told().find(c.cause), std::string::npos) << Told();
    if (c.error != ENOSPC && c.error != EDQUOT) {
      EXPECT_EQ(Told().find("voll"), std::string::npos) << Told();
    }
    EXPECT_EQ(Files(dir.path()), files);
  }
}

// Something that is no file of ours where a new index is written: the
// message names the new index and why, and nothing is stored.
TEST_F(FailureCauses, AThingAtTheNewIndexNameIsNamedItself) {
  struct Case {
    std::string name;
    std::function<void(const std::string&)> plant;
    std::string why;
  };
  const std::string outside = dir.path().substr(0, dir.path().size() - 1) + "-ziel";
  const Case cases[] = {
      {"a FIFO", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0644), 0); },
       "keine gewöhnliche Datei"},
      {"a folder", [](const std::string& p) { std::filesystem::create_directory(p); },
       "keine gewöhnliche Datei"},
      {"a link leading out",
       [&outside](const std::string& p) { std::filesystem::create_symlink(outside, p); },
       "Verknüpfung"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ui.shown.clear();
    const std::string ndx = dir.file("KUNDEN.NDX");
    c.plant(ndx);
    const Bytes index = ReadBytes(dir.file("KUNDEN.IDX"));
    store::AddressRecord address{};
    address.length = sizeof address;
    store::SetText(address.name2, "Neukunde");
    std::int32_t position = -1;
    EXPECT_EQ(store::WriteAddress(app, address, position, true), 0);
    EXPECT_EQ(ReadBytes(dir.file("KUNDEN.IDX")), index);
    EXPECT_NE(Told().find(ndx), std::string::npos) << Told();
    EXPECT_NE(Told().find(c.why), std::string::npos) << Told();
    EXPECT_EQ(Told().find("KUNDEN.DAT"), std::string::npos) << Told();
    EXPECT_FALSE(std::filesystem::exists(outside));
    std::filesystem::remove_all(ndx);
  }
}

}  // namespace
}  // namespace maintenance
