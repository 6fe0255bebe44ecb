// Seeded damage of a real data directory, of the kinds a power cut or a bad
// disk leaves: after every writing maintenance run each record that was
// whole before is still reached by its key, unchanged.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <set>

#include "maintenance/currency_changeover.h"
#include "maintenance/index_repair.h"
#include "maintenance/maintenance_test_support.h"
#include "maintenance/master_rebuild.h"
#include "maintenance/order_rebuild.h"

namespace maintenance {
namespace {

using namespace testsupport;

// Yes to every question but those that would delete an order.
struct KeepingUi : ScriptedUi {
  bool question(const std::string& text, frame::Icon icon, bool defaultNo) override {
    ScriptedUi::question(text, icon, defaultNo);
    return text.find("Löschen ?") == std::string::npos;
  }
};

void Damage(std::mt19937& rng, std::map<std::string, Bytes>& files) {
  static const char* const kNames[] = {"ARTIKEL.IDX", "KUNDEN.IDX", "RECHNUNG.IDX", "ARTIKEL.DAT",
                                       "KUNDEN.DAT",  "RECHNUNG.DAT", "RABATT.DAT"};
  Bytes& file = files[kNames[rng() % 7]];
  auto pick = [&rng](std::size_t n) { return n ? rng() % n : 0; };
  switch (rng() % 6) {
    case 0:  // one byte
      if (!file.empty()) file[pick(file.size())] = static_cast<std::uint8_t>(rng());
      break;
    case 1:  // cut short
      file.resize(pick(file.size() + 1));
      break;
    case 2: {  // a header of another count
      const std::uint32_t counts[] = {0xFFFFFFFF, 0, 1, 2, 0x7FFF, 0x8000, 100};
      std::memcpy(file.data(), &counts[rng() % 7], std::min<std::size_t>(file.size(), 2 + 2 * (rng() % 2)));
      break;
    }
    case 3: {  // a stretch of zeros
      const std::size_t at = pick(file.size());
      std::fill_n(file.begin() + static_cast<std::ptrdiff_t>(at),
                  std::min<std::size_t>(pick(600), file.size() - at), 0);
      break;
    }
    case 4: {  // a block written to the wrong place
      const std::size_t from = pick(file.size()), to = pick(file.size());
      const std::size_t n = std::min({std::size_t{46}, file.size() - from, file.size() - to});
      const Bytes block(file.begin() + static_cast<std::ptrdiff_t>(from),
                        file.begin() + static_cast<std::ptrdiff_t>(from + n));
      std::copy(block.begin(), block.end(), file.begin() + static_cast<std::ptrdiff_t>(to));
      break;
    }
    default:  // garbage behind the end
      for (int i = 0; i < 40; ++i) file.push_back(static_cast<std::uint8_t>(rng()));
  }
}

// What every entry of the three indexes names, counted or not: its key as
// ByKey spells it, and its record as file name and offset.
std::set<std::string> Named(const std::map<std::string, Bytes>& files) {
  std::set<std::string> named;
  const struct {
    const char *index, *data, *kind;
    std::size_t header, size;
  } layouts[] = {{"ARTIKEL.IDX", "ARTIKEL.DAT", "A", 4, 26},
                 {"KUNDEN.IDX", "KUNDEN.DAT", "K", 2, 46},
                 {"RECHNUNG.IDX", "RECHNUNG.DAT", "R", 2, 12}};
  for (const auto& l : layouts) {
    const Bytes& index = files.at(l.index);
    for (std::size_t at = l.header; at + l.size <= index.size(); at += l.size) {
      named.insert(l.data + std::to_string(At<std::uint32_t>(index, at + l.size - 4)));
      named.insert(l.kind[0] == 'R' ? "R" + std::to_string(At<std::int32_t>(index, at + 4))
                                    : l.kind + Text(index, static_cast<std::int64_t>(at), l.size - 4));
    }
  }
  return named;
}

struct DamagedFiles : StockedBook, ::testing::Test {};

TEST_F(DamagedFiles, NoMaintenanceRunLosesARecordThatWasWhole) {
  Stock();
  Change(8);
  std::int32_t position = 3;
  store::DeleteArticle(app, position);
  const auto pristine = Files(dir.path());
  std::map<std::string, KeyedRecord> records;
  ByKey(dir.path(), &records);
  const std::function<int(frame::AppState&)> runs[] = {
      [](frame::AppState& a) { return ReorganiseArticles(a); },
      [](frame::AppState& a) { return ReorganiseAddresses(a); },
      [](frame::AppState& a) { return DeleteOldInvoices(a, "01.01.1990", "31.12.1990"); },
      [](frame::AppState& a) { return RepairIndexes(a, ExamineDataStructures(a)); },
      [](frame::AppState& a) {
        store::SetText(a.parameters.currencySymbol1, "DM");
        return CurrencyChangeover(a);
      },
  };
  ScratchDir work;
  // More damage, or other damage, for a longer run: BELVON_DAMAGE_ROUNDS,
  // BELVON_DAMAGE_SEED.
  const char* rounds = std::getenv("BELVON_DAMAGE_ROUNDS");
  const char* seed = std::getenv("BELVON_DAMAGE_SEED");
  std::mt19937 rng(seed ? static_cast<unsigned>(std::atoi(seed)) : 35u);
  for (int round = 0; round < (rounds ? std::atoi(rounds) : 300); ++round) {
    SCOPED_TRACE("damage " + std::to_string(round));
    auto files = pristine;
    for (unsigned n = 1 + rng() % 3; n > 0; --n) Damage(rng, files);
    // Whole: the damage left its bytes as they were, and some entry of its
    // index (counted or not) still reaches it or holds its key. A record no
    // entry names any more cannot be told from one deleted.
    const std::set<std::string> named = Named(files);
    std::vector<std::string> whole;
    for (const auto& [key, r] : records) {
      const Bytes &before = pristine.at(r.file), &now = files.at(r.file);
      if ((named.count(key) || named.count(r.file + std::to_string(r.from))) &&
          now.size() >= r.to && std::equal(before.begin() + static_cast<std::ptrdiff_t>(r.from),
                                           before.begin() + static_cast<std::ptrdiff_t>(r.to),
                                           now.begin() + static_cast<std::ptrdiff_t>(r.from)))
        whole.push_back(key);
    }
    Restore(files, work.path());
    for (std::size_t run = 0; run < std::size(runs); ++run) {
      SCOPED_TRACE("run " + std::to_string(run));
      frame::AppState state;
      state.dataDirectory = work.path();
      KeepingUi ui;
      ui.defaultAnswer = true;
      state.ui = &ui;
      state.clock = &clock;
      const int done = frame::LoadParameters(state) ? runs[run](state) : 0;
      if (!done) {
        EXPECT_FALSE(ui.shown.empty()) << "refused without a word";
      }
      std::map<std::string, KeyedRecord> after;
      ByKey(work.path(), &after);
      for (const std::string& key : whole) {
        const auto found = after.find(key);
        if (found == after.end())
          ADD_FAILURE() << key << " is lost";
        else if (run < 4 && found->second.bytes != records[key].bytes)
          ADD_FAILURE() << key << " has changed";
      }
      if (HasFailure()) {
        std::string damaged;
        for (const auto& [name, bytes] : files)
          if (bytes != pristine.at(name)) damaged += " " + name;
        ADD_FAILURE() << "damaged:" << damaged << "\nthe run said:\n"
                      << ::testing::PrintToString(ui.texts());
        return;
      }
    }
  }
}

}  // namespace
}  // namespace maintenance
