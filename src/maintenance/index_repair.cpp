#include "maintenance/index_repair.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "maintenance/file_images.h"
#include "maintenance/record_walk.h"
#include "store/bytes.h"
#include "store/data_file.h"
#include "store/file_replacement.h"

namespace maintenance {

namespace {

using Entry = std::vector<std::uint8_t>;
using store::Load;
using store::Store;

const store::IndexLayout* const kLayouts[] = {&store::kArticleLayout, &store::kAddressLayout,
                                              &store::kOrderLayout};

// The names a maintenance run writes before its commit.
constexpr const char* kTemporaries[] = {"A.DAT",       "A.IDX",      "K.DAT",       "K.IDX",
                                        "R.DAT",       "R.IDX",      "WARENGR.NEU", "RABATT.NEU",
                                        "BELVON.NEU",  "ARTIKEL.NEU", "KUNDEN.NEU", "RECHNUNG.NEU"};

std::string TemporaryIndexName(const store::IndexLayout& layout) {
  std::string name = layout.indexName;
  return name.substr(0, name.rfind('.') + 1) + "NEU";
}

Entry MakeEntry(const store::IndexLayout& layout, const WalkedRecord& record) {
  Entry entry(static_cast<std::size_t>(layout.entrySize), 0);
  if (layout.textKey) {
    std::memcpy(entry.data(), record.key.data(),
                std::min<std::size_t>(record.key.size(), layout.keyWidth - 1));
  } else {
    Store<std::int32_t>(entry.data(), record.customerRef);
    Store<std::int32_t>(entry.data() + 4, record.orderNumber);
  }
  Store<std::uint32_t>(entry.data() + layout.offsetInEntry, static_cast<std::uint32_t>(record.offset));
  return entry;
}

// The new index of one file; false when it cannot be read or does not fit.
bool BuildIndex(frame::AppState& app, const store::IndexLayout& layout, bool everything,
                const std::set<std::uint64_t>& takeBack, Bytes& bytes, std::int32_t& count) {
  auto open = [&app](const char* name) {
    return store::OpenData(app, name, platform::Access::Read, platform::Share::DenyWrite);
  };
  platform::File indexFile = open(layout.indexName);
  platform::File dataFile = indexFile ? open(layout.dataName) : platform::File{};
  if (!dataFile) return false;
  FileWindow index(indexFile), data(dataFile);
  RecordFileWalk walk;
  if (index.failed() || !WalkRecordFile(layout, data, walk)) return false;
  // The live entries (no more than can reach records of their own): the
  // records they reach that the walk passed by come in, and unless the index
  // is damaged they keep their records.
  const std::uint64_t headerSize = static_cast<std::uint64_t>(layout.headerSize);
  std::int64_t last = -1;
  std::uint8_t header[4] = {};
  if (index.read(0, header, headerSize))
    last = layout.headerSize == 4 ? Load<std::int32_t>(header) : Load<std::int16_t>(header);
  const std::uint64_t slots =
      index.size() < headerSize ? 0 : (index.size() - headerSize) / layout.entrySize;
  const std::uint64_t live = std::min<std::uint64_t>(
      {static_cast<std::uint64_t>(std::max<std::int64_t>(last + 1, 0)), slots,
       walk.records.size() + 1000});
  std::vector<Entry> entries;
  Entry entry(static_cast<std::size_t>(layout.entrySize));
  for (std::uint64_t i = 0; i < live; ++i)
    if (index.read(headerSize + i * layout.entrySize, entry.data(), entry.size())) {
      AddRecordAt(layout, data, entry.data(), walk);
      if (!everything) entries.push_back(entry);
    }
  std::map<std::string, const WalkedRecord*> chosen;
  for (const Entry& e : entries) {
    const WalkedRecord* record = walk.at(Load<std::uint32_t>(e.data() + layout.offsetInEntry));
    if (record && record->key == EntryKey(layout, e.data())) chosen[record->key] = record;
  }
  // A damaged index is built from the copy stored last of each key.
  for (const WalkedRecord& record : walk.records)
    if (record.offset <= UINT32_MAX && (everything || takeBack.count(record.offset)))
      chosen[record.key] = &record;
  if (static_cast<std::int64_t>(chosen.size()) > layout.maxEntries) {
    Tell(app,
         "Die Datei " + app.path(layout.dataName) +
             " enthält mehr Datensätze, als ein Index fassen kann.",
         frame::Icon::Stop);
    return false;
  }
  std::vector<Entry> made;
  for (const auto& [key, record] : chosen) made.push_back(MakeEntry(layout, *record));
  std::stable_sort(made.begin(), made.end(), [&layout](const Entry& a, const Entry& b) {
    return store::CompareEntries(layout, a.data(), b.data()) < 0;
  });
  count = static_cast<std::int32_t>(made.size());
  Bytes joined;
  for (const Entry& e : made) joined.insert(joined.end(), e.begin(), e.end());
  bytes = IndexBytes(layout, count, joined);
  return true;
}

std::int32_t& LastIndexOf(frame::AppState& app, const store::IndexLayout& layout) {
  if (&layout == &store::kArticleLayout) return app.articles.lastIndex;
  if (&layout == &store::kAddressLayout) return app.addresses.lastIndex;
  return app.orders.lastIndex;
}

void RemoveLeftovers(frame::AppState& app) {
  if (store::DataFileExists(app, store::kReplacementJournalName)) return;
  for (const char* name : kTemporaries)
    if (store::DataFileExists(app, name)) app.fileSystem->remove(app.path(name));
}

}  // namespace

int RepairIndexes(frame::AppState& app, const std::vector<StructureProblem>& problems) {
  Replacement replacement(app);
  std::vector<std::pair<const store::IndexLayout*, std::int32_t>> built;
  for (const store::IndexLayout* layout : kLayouts) {
    bool everything = false, dropped = false;
    std::set<std::uint64_t> takeBack;
    for (const StructureProblem& p : problems) {
      if (p.file != layout) continue;
      everything = everything || p.finding == Finding::Damage;
      if (p.finding != Finding::Unindexed) continue;
      if (p.leaveOut)
        dropped = true;
      else
        takeBack.insert(p.recordOffset);
    }
    if (!everything && takeBack.empty() && !dropped) continue;
    Bytes bytes;
    std::int32_t count = 0;
    if (!BuildIndex(app, *layout, everything, takeBack, bytes, count) ||
        !replacement.write(TemporaryIndexName(*layout), layout->indexName, bytes)) {
      Tell(app,
           "Der Index " + app.path(layout->indexName) +
               " konnte nicht neu aufgebaut werden; es wurde nichts verändert.",
           frame::Icon::Stop);
      return 0;
    }
    built.push_back({layout, count});
  }
  if (built.empty()) return 1;
  if (!replacement.commit()) {
    Tell(app, "Die neuen Indexdateien konnten nicht eingesetzt werden; es wurde nichts verändert.",
         frame::Icon::Stop);
    return 0;
  }
  for (const auto& [layout, count] : built) {
    LastIndexOf(app, *layout) = count - 1;
    Tell(app,
         "Der Index " + app.path(layout->indexName) + " wurde aus " + std::to_string(count) +
             " Datensätzen von " + app.path(layout->dataName) + " neu aufgebaut.",
         frame::Icon::Information);
  }
  return 1;
}

bool MaintenanceMayRun(frame::AppState& app) {
  RemoveLeftovers(app);
  const std::vector<StructureProblem> problems = ExamineDataStructures(app);
  if (AnyOf(problems, Finding::Damage)) {
    for (const StructureProblem& p : problems)
      if (p.finding == Finding::Damage) Tell(app, p.text, frame::Icon::Exclamation);
    if (app.ui &&
        app.ui->question("Die Datenstrukturen sind beschädigt; dieser Lauf würde Datensätze "
                         "verlieren und wird nicht ausgeführt.\nSollen die Indexdateien statt "
                         "dessen aus den Datendateien neu aufgebaut werden? Dabei geht kein "
                         "Datensatz verloren; früher gelöschte oder umbenannte Datensätze können "
                         "wieder erscheinen.\n Bitte immer erst eine Datensicherung machen !",
                         frame::Icon::Question, true))
      RepairIndexes(app, problems);
    else
      Tell(app, "Es wurde nichts verändert.", frame::Icon::Exclamation);
    return false;
  }
  if (!AnyOf(problems, Finding::Unindexed)) return true;
  std::string names;
  int listed = 0, more = 0;
  for (const StructureProblem& p : problems) {
    if (p.finding != Finding::Unindexed) continue;
    if (listed++ < 20)
      names += p.text + "\n";
    else
      ++more;
  }
  if (more) names += "(und " + std::to_string(more) + " weitere)\n";
  if (app.ui &&
      app.ui->question(names +
                           "\nDiese Datensätze hat der Index verloren, oder sie wurden gelöscht.\n"
                           "Sollen sie wieder in den Index aufgenommen werden? Sonst entfernt "
                           "die nächste Reorganisation sie.",
                       frame::Icon::Question, true))
    return RepairIndexes(app, problems) == 1;
  return true;
}

}  // namespace maintenance
