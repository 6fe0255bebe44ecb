// Backups: taken, checked and restored on real files; damaged archives of
// every kind restore nothing; a file another copy is writing is in the
// backup whole.
#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "backup/backup.h"
#include "backup/backup_reminder.h"
#include "core/sha256.h"
#include "support/case_table.h"
#include "support/order_book.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

namespace {

namespace fsys = std::filesystem;
using testsupport::ReadBytes;
using testsupport::WriteBytes;
using Bytes = std::vector<std::uint8_t>;
using Tree = std::map<std::string, Bytes>;

// Every regular file below `dir`, by its path relative to it.
Tree ReadTree(const std::string& dir) {
  Tree tree;
  if (!fsys::exists(dir)) return tree;
  for (const auto& entry : fsys::recursive_directory_iterator(dir))
    if (entry.is_regular_file())
      tree[entry.path().lexically_relative(dir).generic_string()] = ReadBytes(entry.path().string());
  return tree;
}

Bytes Of(const std::string& text) { return Bytes(text.begin(), text.end()); }

class BackupTest : public ::testing::Test, public testsupport::OrderBook {
 protected:
  BackupTest() {
    const std::int32_t meier = customer("Meier");
    const std::int32_t bolt = article("A-100", 12);
    order(meier, 0, {{2, 150, bolt}});
    WriteBytes(dir.file("MAHNUNG1.TXT"), Of("Sehr geehrte Damen und Herren,\r\n"));
    fsys::create_directories(dir.file("ARCHIV"));
    fsys::create_directories(dir.file("Mails/2026"));
    Bytes pdf(70000);
    for (std::size_t i = 0; i < pdf.size(); ++i) pdf[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    WriteBytes(dir.file("ARCHIV/126120001.pdf"), pdf);
    WriteBytes(dir.file("Mails/2026/rechnung.eml"), Of("Subject: Rechnung\r\n\r\n"));
    WriteBytes(dir.file("\xDC" "BERSICHT.TXT"), Of("Windows-1252 im Namen"));
    WriteBytes(dir.file("LEER.TXT"), {});
    // What the program makes and removes again.
    for (const char* scratch : {"ARTIKEL.NEU", "SPERRE.TST", "journal.csv.neu", "A.DAT"})
      WriteBytes(dir.file(scratch), Of("vorübergehend"));
  }

  // The files a backup must hold: all but the scratch files, and but the
  // note of the last backup, which each backup writes after it is taken.
  Tree businessFiles() {
    Tree tree = ReadTree(dir.path());
    for (const char* scratch : {"ARTIKEL.NEU", "SPERRE.TST", "journal.csv.neu", "A.DAT"})
      tree.erase(scratch);
    tree.erase(backup::kReminderFileName);
    return tree;
  }

  std::string archive() { return outside.file("sicherung.tar.gz"); }

  backup::BackupOutcome take() { return backup::CreateBackup(app, archive()); }

  testsupport::TempDir outside;
};

TEST_F(BackupTest, RoundTripRestoresEveryFileOfTheBusinessByteForByte) {
  const Tree before = businessFiles();
  const backup::BackupOutcome taken = take();
  ASSERT_TRUE(taken.written) << taken.problem;
  EXPECT_EQ(taken.files.size(), before.size());
  EXPECT_TRUE(taken.skipped.empty());

  const backup::CheckOutcome checked = backup::VerifyBackup(*app.fileSystem, archive());
  EXPECT_TRUE(checked.ok()) << checked.problem;
  EXPECT_EQ(checked.files, taken.files);
  EXPECT_TRUE(checked.structureProblems.empty());

  const std::string target = outside.file("zurueck");
  const backup::CheckOutcome restored = backup::RestoreBackup(*app.fileSystem, archive(), target);
  ASSERT_TRUE(restored.ok()) << restored.problem;
  EXPECT_EQ(ReadTree(target), before);
  // Neither checking nor restoring touched the data directory.
  EXPECT_EQ(businessFiles(), before);
  // The manifest states each file's size and SHA-256.
  for (const backup::ManifestEntry& e : taken.files) {
    SCOPED_TRACE(e.path);
    const Bytes& bytes = before.at(e.path);
    EXPECT_EQ(e.size, bytes.size());
    EXPECT_EQ(e.sha256, frame::HexDigest(frame::Sha256Of(
                            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()))));
  }
}

TEST_F(BackupTest, AnArchiveThatCannotBeWrittenLeavesNothingBehind) {
  const std::string into = outside.file("fehlt/sicherung.tar.gz");
  const backup::BackupOutcome taken = backup::CreateBackup(app, into);
  EXPECT_FALSE(taken.written);
  EXPECT_NE(taken.problem.find("kann nicht geschrieben werden"), std::string::npos);
  EXPECT_FALSE(fsys::exists(outside.file("fehlt")));
  // An earlier backup of that name stays as it was when a later one fails.
  ASSERT_TRUE(take().written);
  const Bytes earlier = ReadBytes(archive());
  app.retry.bound = std::chrono::milliseconds(100);
  platform::File held = app.fileSystem->open(dir.file("KUNDEN.DAT"), platform::Access::ReadWrite,
                                             platform::Share::Exclusive);
  ASSERT_TRUE(held);
  EXPECT_FALSE(take().written);
  EXPECT_EQ(ReadBytes(archive()), earlier);
  EXPECT_EQ(ReadTree(outside.path()).size(), 1u);  // no temporary file left
}

// Any single changed byte anywhere in the archive is found, and a restore of
// such an archive writes nothing.
TEST_F(BackupTest, EveryChangedByteMakesTheArchiveFailItsCheck) {
  ASSERT_TRUE(take().written);
  const Bytes good = ReadBytes(archive());
  ASSERT_GT(good.size(), 100u);
  const std::size_t step = good.size() / 400 + 1;
  std::vector<std::size_t> positions;
  for (std::size_t at = 0; at < good.size(); at += (at < 64 || at + 64 > good.size()) ? 1 : step)
    positions.push_back(at);
  for (std::size_t at : positions) {
    SCOPED_TRACE(at);
    Bytes bad = good;
    bad[at] ^= 0x10;
    WriteBytes(archive(), bad);
    const backup::CheckOutcome checked = backup::VerifyBackup(*app.fileSystem, archive());
    EXPECT_FALSE(checked.intact);
    EXPECT_FALSE(checked.problem.empty());
  }
  for (std::size_t at : {std::size_t{5}, good.size() / 2, good.size() - 3}) {
    SCOPED_TRACE(at);
    Bytes bad = good;
    bad[at] ^= 0x01;
    WriteBytes(archive(), bad);
    const std::string target = outside.file("ziel");
    const backup::CheckOutcome restored = backup::RestoreBackup(*app.fileSystem, archive(), target);
    EXPECT_FALSE(restored.intact);
    EXPECT_NE(restored.problem.find("beschädigt"), std::string::npos) << restored.problem;
    EXPECT_FALSE(fsys::exists(target));
  }
  // Cut short, or with bytes behind it.
  for (std::size_t keep : {good.size() - 1, good.size() / 2, std::size_t{10}}) {
    WriteBytes(archive(), Bytes(good.begin(), good.begin() + keep));
    EXPECT_FALSE(backup::VerifyBackup(*app.fileSystem, archive()).intact) << keep;
  }
  Bytes longer = good;
  longer.push_back(0);
  WriteBytes(archive(), longer);
  EXPECT_FALSE(backup::VerifyBackup(*app.fileSystem, archive()).intact);
}

// Archives made by hand: sound in their compression, wrong in what they hold.
struct Entry {
  std::string name;
  std::string content;
  unsigned type = AE_IFREG;
  std::string link;
};

void WriteArchive(const std::string& path, const std::vector<Entry>& entries) {
  struct archive* a = archive_write_new();
  archive_write_add_filter_gzip(a);
  archive_write_set_filter_option(a, "gzip", "timestamp", nullptr);
  archive_write_set_format_pax_restricted(a);
  archive_write_set_bytes_in_last_block(a, 1);
  ASSERT_EQ(archive_write_open_filename(a, path.c_str()), ARCHIVE_OK);
  for (const Entry& e : entries) {
    archive_entry* entry = archive_entry_new();
    archive_entry_set_pathname(entry, e.name.c_str());
    archive_entry_set_filetype(entry, e.type);
    archive_entry_set_perm(entry, 0644);
    if (!e.link.empty()) archive_entry_set_symlink(entry, e.link.c_str());
    archive_entry_set_size(entry, e.type == AE_IFREG ? static_cast<la_int64_t>(e.content.size()) : 0);
    archive_write_header(a, entry);
    if (e.type == AE_IFREG) archive_write_data(a, e.content.data(), e.content.size());
    archive_entry_free(entry);
  }
  archive_write_close(a);
  archive_write_free(a);
  // Sealed as the program seals its own.
  Bytes bytes = ReadBytes(path);
  const std::string seal = backup::SealMember(
      frame::HexDigest(frame::Sha256Of(std::string_view(reinterpret_cast<const char*>(bytes.data()),
                                                        bytes.size()))),
      bytes.size());
  bytes.insert(bytes.end(), seal.begin(), seal.end());
  WriteBytes(path, bytes);
}

std::string Line(const std::string& path, const std::string& content) {
  return frame::HexDigest(frame::Sha256Of(content)) + " " + std::to_string(content.size()) + " " +
         path + "\n";
}

TEST(DamagedArchive, WhatItHoldsMustBeWhatItsManifestSays) {
  const std::string title = std::string(backup::kManifestTitle) + "\n";
  const std::string par = "parameter", idx = "index";
  const std::string manifest = title + Line("BELVON.PAR", par) + Line("ARCHIV/1.pdf", idx);
  const Entry parEntry{"daten/BELVON.PAR", par}, pdfEntry{"daten/ARCHIV/1.pdf", idx};
  struct Case {
    const char* why;
    std::vector<Entry> entries;
    const char* said;  // part of the reason given; null: the archive is sound
  };
  const std::vector<Case> cases = {
      {"sound", {parEntry, pdfEntry, {"MANIFEST.TXT", manifest}}, nullptr},
      {"a file missing", {parEntry, {"MANIFEST.TXT", manifest}}, "ARCHIV/1.pdf fehlt"},
      {"a file added", {parEntry, pdfEntry, {"daten/X.DAT", "x"}, {"MANIFEST.TXT", manifest}},
       "X.DAT steht in keinem Verzeichnis"},
      {"another content",
       {parEntry, {"daten/ARCHIV/1.pdf", "indey"}, {"MANIFEST.TXT", manifest}}, "Prüfsumme"},
      {"another size",
       {parEntry, {"daten/ARCHIV/1.pdf", "index!"}, {"MANIFEST.TXT", manifest}}, "Größe"},
      {"a path with ..",
       {parEntry, pdfEntry, {"daten/../BELVON.PAR", par}, {"MANIFEST.TXT", manifest}},
       "nicht im Datenverzeichnis"},
      {"an absolute path", {{"/etc/BELVON.PAR", par}, {"MANIFEST.TXT", manifest}},
       "nicht im Datenverzeichnis"},
      {"a link",
       {parEntry, pdfEntry, {"daten/KUNDEN.DAT", "", AE_IFLNK, "/etc/passwd"},
        {"MANIFEST.TXT", manifest}},
       "keine gewöhnliche Datei"},
      {"a folder", {parEntry, pdfEntry, {"daten/ARCHIV", "", AE_IFDIR}, {"MANIFEST.TXT", manifest}},
       "keine gewöhnliche Datei"},
      {"a file twice", {parEntry, parEntry, pdfEntry, {"MANIFEST.TXT", manifest}}, "zweimal"},
      {"no manifest", {parEntry, pdfEntry}, "MANIFEST.TXT"},
      {"a manifest path with ..",
       {parEntry, pdfEntry, {"MANIFEST.TXT", manifest + Line("../x", "")}},
       "nicht im Datenverzeichnis"},
      {"a manifest of another kind",
       {parEntry, pdfEntry, {"MANIFEST.TXT", "Sicherung 2\n" + Line("BELVON.PAR", par)}},
       "unbekannt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    testsupport::TempDir dir;
    const std::string path = dir.file("s.tar.gz");
    WriteArchive(path, c.entries);
    const backup::CheckOutcome checked = backup::VerifyBackup(platform::SystemFileSystem(), path);
    const std::string target = dir.file("ziel");
    const backup::CheckOutcome restored =
        backup::RestoreBackup(platform::SystemFileSystem(), path, target);
    if (!c.said) {
      EXPECT_TRUE(checked.intact) << checked.problem;
      EXPECT_TRUE(restored.intact) << restored.problem;
      EXPECT_EQ(ReadTree(target).size(), 2u);
      continue;
    }
    EXPECT_FALSE(checked.intact);
    EXPECT_NE(checked.problem.find(c.said), std::string::npos) << checked.problem;
    EXPECT_FALSE(restored.intact);
    EXPECT_FALSE(fsys::exists(target));
    EXPECT_FALSE(fsys::exists(dir.file("BELVON.PAR")));
  }
}

TEST_F(BackupTest, RestoresOnlyIntoAnEmptyDirectory) {
  ASSERT_TRUE(take().written);
  const std::string target = outside.file("belegt");
  fsys::create_directories(target);
  WriteBytes(target + "/BELVON.PAR", Of("die Daten von heute"));
  const backup::CheckOutcome refused = backup::RestoreBackup(*app.fileSystem, archive(), target);
  EXPECT_FALSE(refused.intact);
  EXPECT_NE(refused.problem.find("ist nicht leer"), std::string::npos);
  EXPECT_EQ(ReadTree(target), (Tree{{"BELVON.PAR", Of("die Daten von heute")}}));
  // A file is no directory to restore into; an empty directory is.
  EXPECT_FALSE(backup::RestoreBackup(*app.fileSystem, archive(), target + "/BELVON.PAR").intact);
  const std::string empty = outside.file("leer");
  fsys::create_directories(empty);
  EXPECT_TRUE(backup::RestoreBackup(*app.fileSystem, archive(), empty).ok());
  Tree restored = ReadTree(empty);
  restored.erase(backup::kReminderFileName);
  EXPECT_EQ(restored, businessFiles());
}

// Another copy holds the article files for writing (as a change of an
// article does) and writes both; the backup waits for it and holds the
// files as they are afterwards, both of them.
TEST_F(BackupTest, AFileAnotherCopyIsWritingIsBackedUpWhole) {
  std::atomic<bool> holding{false};
  const Bytes added = Of("eine Änderung in zwei Dateien");
  std::thread other([&] {
    platform::FileSystem& fs = platform::SystemFileSystem();
    platform::File index = fs.open(dir.file("ARTIKEL.IDX"), platform::Access::ReadWrite,
                                   platform::Share::Exclusive);
    platform::File data = fs.open(dir.file("ARTIKEL.DAT"), platform::Access::ReadWrite,
                                  platform::Share::Exclusive);
    holding = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::uint64_t end = 0;
    for (platform::File* f : {&index, &data}) {
      f->seekToEnd(&end);
      f->write(added.data(), added.size());
    }
  });
  while (!holding) std::this_thread::yield();
  const backup::BackupOutcome taken = take();
  other.join();
  ASSERT_TRUE(taken.written) << taken.problem;
  const std::string target = outside.file("zurueck");
  ASSERT_TRUE(backup::RestoreBackup(*app.fileSystem, archive(), target).intact);
  EXPECT_EQ(ReadBytes(target + "/ARTIKEL.IDX"), ReadBytes(dir.file("ARTIKEL.IDX")));
  EXPECT_EQ(ReadBytes(target + "/ARTIKEL.DAT"), ReadBytes(dir.file("ARTIKEL.DAT")));
}

// A copy that holds a file beyond the retry bound: the user is asked, and
// giving up writes no archive.
TEST_F(BackupTest, AFileHeldBeyondTheBoundIsAskedAboutAndNoArchiveIsWritten) {
  app.retry.bound = std::chrono::milliseconds(150);
  ui.answer({false});
  platform::File held = app.fileSystem->open(dir.file("RECHNUNG.IDX"), platform::Access::ReadWrite,
                                             platform::Share::Exclusive);
  ASSERT_TRUE(held);
  const backup::BackupOutcome taken = take();
  EXPECT_FALSE(taken.written);
  EXPECT_NE(taken.problem.find("RECHNUNG.IDX"), std::string::npos);
  ASSERT_EQ(ui.questions().size(), 1u);
  EXPECT_NE(ui.questions()[0].find("RECHNUNG.IDX"), std::string::npos);
  EXPECT_FALSE(fsys::exists(archive()));
}

// What is not taken is named, never left out unseen; a link to a file of the
// directory is taken as that file.
TEST_F(BackupTest, WhatCannotBeTakenIsNamedAndTheRestIsBackedUp) {
  WriteBytes(outside.file("fremd.txt"), Of("nicht aus dem Datenverzeichnis"));
  fsys::create_symlink(outside.file("fremd.txt"), dir.file("FREMD.TXT"));
  fsys::create_symlink(dir.file("nirgends"), dir.file("LEER.LNK"));
  fsys::create_symlink(dir.file("ARCHIV"), dir.file("ARCHIV2"));
  fsys::create_symlink(dir.file("MAHNUNG1.TXT"), dir.file("MAHNUNG9.TXT"));
  ASSERT_EQ(mkfifo(dir.file("ROHR").c_str(), 0600), 0);
  const backup::BackupOutcome taken = take();
  ASSERT_TRUE(taken.written) << taken.problem;
  std::vector<std::string> named;
  for (const std::string& text : taken.skipped) named.push_back(text.substr(0, text.find(' ')));
  std::sort(named.begin(), named.end());
  EXPECT_EQ(named, (std::vector<std::string>{"ARCHIV2", "FREMD.TXT", "LEER.LNK", "ROHR"}));
  const std::string target = outside.file("zurueck");
  ASSERT_TRUE(backup::RestoreBackup(*app.fileSystem, archive(), target).intact);
  EXPECT_EQ(ReadBytes(target + "/MAHNUNG9.TXT"), ReadBytes(dir.file("MAHNUNG1.TXT")));
  EXPECT_FALSE(fsys::exists(target + "/FREMD.TXT"));
}

TEST(BackupRules, TheFilesTheProgramMakesAndRemovesAgainAreLeftOut) {
  testsupport::ExpectEach<std::string, bool>(
      backup::BelongsToBackup,
      {{"BELVON.PAR", true}, {"ARTIKEL.DAT", true}, {"MAHNUNG2.TXT", true},
       {"ARCHIV/126120001.pdf", true}, {"Mails/x.eml", true}, {"MAIL.LOG", true},
       {"UMSTELL.DAT", true}, {"ADAT", true}, {"ARCHIV/A.DAT", true},
       {"ARTIKEL.NEU", false}, {"rechnung.pdf.neu", false}, {"TAUSCH.NEU", false},
       {"A.DAT", false}, {"k.idx", false}, {"R.DAT", false}, {"SPERRE.TST", false},
       {"EINGANG/1_R-1.pdf", true}, {"EINGANG/EINGANG.LST", true}, {"EINGANG/EINGANG.LCK", false}});
}

TEST(BackupRules, OnlyPathsInsideTheDirectoryAreUnpacked) {
  testsupport::ExpectEach<std::string, bool>(
      backup::SafeRelativePath,
      {{"BELVON.PAR", true}, {"ARCHIV/1.pdf", true}, {"\xDC" "BER.TXT", true}, {"..a", true},
       {"", false}, {"/etc/passwd", false}, {"../x", false}, {"a/../../x", false},
       {"a/./b", false}, {"a//b", false}, {"a/", false}, {"..", false},
       {"a\nb", false}, {"a\\..\\b", false}});
}

TEST(BackupRules, AManifestReadsBackAsItWasWritten) {
  const std::vector<backup::ManifestEntry> entries = {
      {"BELVON.PAR", 3556, std::string(64, 'a')}, {"ARCHIV/a b.pdf", 0, std::string(64, '0')}};
  std::vector<backup::ManifestEntry> read;
  std::string problem;
  ASSERT_TRUE(backup::ParseManifest(backup::ManifestText(entries), read, &problem)) << problem;
  EXPECT_EQ(read, entries);
  const std::string title = std::string(backup::kManifestTitle) + "\n";
  for (const std::string& bad :
       {std::string(), title + std::string(64, 'a') + " 1 X", title + "abc 1 X\n",
        title + std::string(64, 'A') + " 1 X\n", title + std::string(64, 'a') + " -1 X\n",
        title + std::string(64, 'a') + " 1 X\n" + std::string(64, 'b') + " 2 X\n"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(backup::ParseManifest(bad, read, &problem));
  }
}

// Both spellings of checking and restoring: "verify FILE" and "restore FILE
// --data-dir DIR", and the older "verify-backup FILE" and "restore FILE --to
// DIR".
TEST_F(BackupTest, TheCommandLineBacksUpChecksAndRestores) {
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  const std::string data = "'" + dir.path() + "'";
  std::string out, err;
  ASSERT_EQ(testsupport::RunCommand(cli + " --data-dir " + data + " backup --output '" + archive() + "'",
                                    &out, &err),
            0)
      << err;
  EXPECT_NE(out.find(archive()), std::string::npos);
  const Tree live = businessFiles();
  struct Spelling {
    const char* verify;
    const char* into;
  };
  for (const Spelling& spelling : {Spelling{"verify", "--data-dir"}, Spelling{"verify-backup", "--to"}}) {
    SCOPED_TRACE(spelling.verify);
    EXPECT_EQ(testsupport::RunCommand(cli + " " + spelling.verify + " '" + archive() + "'", &out, &err),
              0)
        << err;
    const std::string target = outside.file(std::string("zurueck-") + spelling.verify);
    const std::string restore = cli + " restore '" + archive() + "' " + spelling.into + " ";
    EXPECT_EQ(testsupport::RunCommand(restore + "'" + target + "'", &out, &err), 0) << err;
    EXPECT_EQ(ReadTree(target), live);
    // Neither the directory just filled nor the live one is restored into.
    for (const std::string& full : {target, dir.path()}) {
      err.clear();
      EXPECT_EQ(testsupport::RunCommand(restore + "'" + full + "'", &out, &err), 1);
      EXPECT_NE(err.find("nicht leer"), std::string::npos) << err;
    }
    EXPECT_EQ(businessFiles(), live);
  }
  EXPECT_EQ(testsupport::RunCommand(cli + " restore '" + archive() + "'", &out, &err), 2);
}

}  // namespace
