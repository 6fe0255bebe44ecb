// Backups taken while another process issues, pays and imports in a loop:
// each one restores to a directory that passes the structure test and
// equals a state the other process left between two of its commands: an
// issued invoice with its PDF and XML in the archive, or neither.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "backup/backup.h"
#include "backup/backup_reminder.h"
#include "core/sha256.h"
#include "einvoice/einvoice_seller.h"
#include "store/address_file.h"
#include "store/parameter_file.h"
#include "support/order_book.h"
#include "support/run_command.h"
#include "support/temp_dir.h"

namespace {

namespace fsys = std::filesystem;

constexpr int kRounds = 6;

// The data of a directory as one digest: every file a backup takes, with
// its path and bytes; the note of the last backup left out, and empty files
// too: every start creates the data files that are missing, empty, which
// holds no record more than no file does.
std::string Fingerprint(const std::string& dir) {
  std::vector<std::string> files;
  for (const auto& entry : fsys::recursive_directory_iterator(dir)) {
    const std::string relative = entry.path().lexically_relative(dir).generic_string();
    if (entry.is_regular_file() && entry.file_size() > 0 && backup::BelongsToBackup(relative) &&
        relative != backup::kReminderFileName)
      files.push_back(relative);
  }
  std::sort(files.begin(), files.end());
  std::string all;
  for (const std::string& file : files) {
    const std::vector<std::uint8_t> bytes = testsupport::ReadBytes(dir + "/" + file);
    all += file + "\n" +
           frame::HexDigest(frame::Sha256Of(std::string_view(
               reinterpret_cast<const char*>(bytes.data()), bytes.size()))) +
           "\n";
  }
  return frame::HexDigest(frame::Sha256Of(all));
}

TEST(BackupWhileOthersWork, EveryBackupRestoresAStateThatExisted) {
  const std::string cli = testsupport::BuiltProgram("belvon-cli");
  if (cli.empty()) GTEST_SKIP() << "belvon-cli is not built";
  testsupport::OrderBook book;
  testsupport::TempDir outside;
  store::AddressRecord buyer{};
  buyer.length = sizeof buyer, buyer.kind = store::kAddressCustomer;
  einvoicetest::Complete(book.app.parameters, buyer);
  ASSERT_EQ(frame::SaveParameters(book.app), 1);
  std::vector<std::int32_t> orders;
  for (int i = 0; i < kRounds; ++i) {
    store::SetText(buyer.name2, "Kunde " + std::to_string(i));
    store::SetText(buyer.customerNumber, std::to_string(10001 + i));
    std::int32_t position = -1;
    store::WriteAddress(book.app, buyer, position, true);
    const auto customerRef = static_cast<std::int32_t>(book.app.addresses.entry.offset);
    orders.push_back(
        book.order(customerRef, 0, {{1, 10000, -1, 0, 0, "A-1", store::kTaxCodeRate2}}).orderNumber);
  }
  const std::string states = outside.file("zustaende.txt");
  const std::string run = cli + " --yes --data-dir '" + book.dir.path() + "' ";

  const pid_t other = fork();
  if (other == 0) {
    std::ofstream seen(states);
    seen << Fingerprint(book.dir.path()) << std::endl;
    for (int i = 0; i < kRounds; ++i) {
      const std::string number = std::to_string(orders[i]);
      const std::string catalogue = outside.file("katalog" + std::to_string(i) + ".001");
      std::ofstream(catalogue, std::ios::binary)
          << "V 180907" + std::string(115, ' ') + "04EUR\r\nA;N;B-" + std::to_string(i) +
                 ";;Kabel " + std::to_string(i) + ";;1;0;m;1234;;;;\r\n";
      for (const std::string& command :
           {"print 3 --order " + number + " --issue --pdf '" + outside.file("r.pdf") + "'",
            "pay --order " + number + " --amount 10,00 --date 07.12.2026",
            "datanorm-import '" + catalogue + "' --supplier Elektro"}) {
        std::string out, err;
        if (testsupport::RunCommand(run + command, &out, &err) != 0) {
          std::ofstream(outside.file("fehler.txt")) << command << "\n" << err;
          _exit(2);
        }
        seen << Fingerprint(book.dir.path()) << std::endl;
      }
    }
    _exit(0);
  }
  std::vector<std::string> archives;
  int status = 0;
  while (waitpid(other, &status, WNOHANG) == 0) {
    const std::string archive = outside.file("s" + std::to_string(archives.size()) + ".tar.gz");
    const backup::BackupOutcome taken = backup::CreateBackup(book.app, archive);
    ASSERT_TRUE(taken.written) << taken.problem;
    archives.push_back(archive);
  }
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0) << "a command of the other process failed:\n"
                                     << [&] {
                                          std::ifstream why(outside.file("fehler.txt"));
                                          return std::string(std::istreambuf_iterator<char>(why), {});
                                        }();

  std::set<std::string> existed;
  std::ifstream in(states);
  for (std::string line; std::getline(in, line);) existed.insert(line);
  ASSERT_EQ(existed.size(), 1u + 3 * kRounds);
  ASSERT_FALSE(archives.empty());
  for (const std::string& archive : archives) {
    SCOPED_TRACE(archive);
    const std::string target = archive + ".zurueck";
    const backup::CheckOutcome restored =
        backup::RestoreBackup(platform::SystemFileSystem(), archive, target);
    EXPECT_TRUE(restored.ok()) << restored.problem;
    EXPECT_TRUE(existed.count(Fingerprint(target))) << "a state that never existed";
  }
}

}  // namespace
