#include "maintenance/master_rebuild.h"

#include <algorithm>
#include <set>
#include <string>

#include "maintenance/index_repair.h"
#include "store/bytes.h"
#include "store/collation.h"
#include "store/data_file.h"
#include "store/product_group_table.h"
#include "store/text_field.h"

namespace maintenance {

namespace {

using platform::Access;
using platform::Share;
using store::Load;
using store::Store;

constexpr std::size_t kProductGroupField = 66;  // in the article record

struct CollatedLess {
  bool operator()(const std::string& a, const std::string& b) const {
    return store::CompareKeys(a, b) < 0;
  }
};

std::string_view KeyOf(const std::uint8_t* at, std::size_t width) {
  return store::GetText(reinterpret_cast<const char*>(at), width);
}

// The product groups of the kept articles, sorted under the key collation,
// each once; only the first 3000 fit the table (the user is told).
Bytes ProductGroupFile(frame::AppState& app, const std::set<std::string, CollatedLess>& groups) {
  Bytes bytes;
  int n = 0;
  for (const std::string& name : groups) {
    if (n++ == store::kProductGroupCapacity) {
      Tell(app,
           "Es gibt mehr als " + std::to_string(store::kProductGroupCapacity) +
               " Warengruppen; angeboten werden nur die ersten " +
               std::to_string(store::kProductGroupCapacity) +
               ". Die Artikel behalten ihre Warengruppe.",
           frame::Icon::Exclamation);
      break;
    }
    std::uint8_t entry[store::kProductGroupNameSize] = {};
    std::memcpy(entry, name.data(), std::min<std::size_t>(name.size(), sizeof entry - 1));
    bytes.insert(bytes.end(), entry, entry + sizeof entry);
  }
  return bytes;
}

struct Sources {
  platform::File index, data, discounts, orderIndex, orderData;
};

bool OpenSources(frame::AppState& app, const store::IndexLayout& layout, Sources& s) {
  // Others may read meanwhile, nobody may write.
  auto open = [&app](const char* name) {
    return store::OpenData(app, name, Access::Read, Share::DenyWrite);
  };
  s.index = open(layout.indexName);
  if (s.index) s.data = open(layout.dataName);
  if (s.data) s.discounts = open(store::kDiscountFileName);
  if (s.discounts) s.orderIndex = open(store::kOrderIndexName);
  if (s.orderIndex) s.orderData = open(store::kOrderDataName);
  return s.orderData.isOpen();
}

bool Ask(frame::AppState& app, const char* what) {
  return app.ui && app.ui->question(std::string("Wollen Sie wirklich alle ") + what +
                                        " reorganisieren ?\n Bitte immer erst eine "
                                        "Datensicherung machen !",
                                    frame::Icon::Question, true);
}

}  // namespace

MasterRebuild ArticleRebuild() {
  return {&store::kArticleLayout, "A.IDX", "A.DAT", 520, nullptr, kCurrentOrders, nullptr};
}

MasterRebuild AddressRebuild() {
  return {&store::kAddressLayout, "K.IDX", "K.DAT", 1192, nullptr, kCurrentOrders, nullptr};
}

int RebuildMasterFile(frame::AppState& app, const MasterRebuild& rebuild) {
  const store::IndexLayout& layout = *rebuild.layout;
  const bool articles = &layout == &store::kArticleLayout;
  Sources sources;
  if (!OpenSources(app, layout, sources)) return 0;
  // The record files are read in pieces: they may be far larger than what
  // their indexes reach.
  IndexImage index, orders;
  if (!ReadIndexImage(sources.index, layout, index) ||
      !ReadIndexImage(sources.orderIndex, store::kOrderLayout, orders)) {
    Tell(app, "Die Dateien können nicht gelesen werden; es wurde nichts verändert.",
         frame::Icon::Stop);
    return 0;
  }
  FileWindow orderData(sources.orderData);
  if (app.ui) app.ui->beginProgress();

  Bytes newData, newEntries, read(rebuild.readSize), record(layout.recordSize);
  OffsetMap map;
  KeptNumbers numbers;
  std::set<std::string, CollatedLess> groups;
  std::int32_t kept = 0;
  for (std::int32_t i = 0; i < index.count; ++i) {
    if (app.ui) app.ui->progress((articles ? 20 : 10) * (i + 1) / index.count);
    const std::uint8_t* entry = index.entry(i);
    const std::uint32_t offset = index.recordOffset(i);
    // A record that is not there is dropped without a word.
    if (static_cast<std::int32_t>(offset) < 0) continue;
    const std::int32_t length = store::ReadFramedRecord(sources.data, offset, read, true);
    if (length == store::kPastTheEnd) continue;
    if (length == store::kReadFailed) {
      if (app.ui) app.ui->endProgress();
      Tell(app, "Die Dateien können nicht gelesen werden; es wurde nichts verändert.",
           frame::Icon::Stop);
      return 0;
    }
    std::string_view key = KeyOf(entry, layout.keyWidth);
    if (length < 2 || KeyOf(&read[layout.keyInRecord], layout.keyWidth) != key) {
      if (articles) Tell(app, "Problem mit Artikel " + std::string(key), frame::Icon::None);
      continue;
    }
    if (rebuild.convert)
      rebuild.convert(read, record);
    else
      record = read;
    Store<std::uint16_t>(record.data(), static_cast<std::uint16_t>(layout.recordSize));
    const auto newOffset = static_cast<std::uint32_t>(newData.size());
    map.emplace(offset, newOffset);
    numbers.emplace(std::string(key), newOffset);
    if (articles)
      groups.insert(
          std::string(store::GetText(reinterpret_cast<const char*>(&record[kProductGroupField]),
                                     store::kProductGroupNameSize)));
    newEntries.insert(newEntries.end(), entry, entry + layout.entrySize);
    Store<std::uint32_t>(&newEntries[newEntries.size() - layout.entrySize + layout.offsetInEntry],
                         newOffset);
    newData.insert(newData.end(), record.begin(), record.end());
    ++kept;
  }

  auto progress = [&app](int percent) {
    if (app.ui) app.ui->progress(percent);
  };
  Replacement replacement(app);
  bool written = replacement.write(rebuild.temporaryData, layout.dataName, newData) &&
                 replacement.write(rebuild.temporaryIndex, layout.indexName,
                                   IndexBytes(layout, kept, newEntries));
  Patches patches;
  auto copyOrders = [&] {
    return CopyWithPatches(app, sources.orderData, "R.DAT", patches);
  };
  auto discounts = [&](std::size_t field) {
    return [&app, &sources, &map, field] {
      return RewriteDiscounts(app, sources.discounts, field, map, "RABATT.NEU");
    };
  };
  if (articles) {
    RewriteLineArticles(orderData, orders, rebuild.orders, map,
                        rebuild.orders.lineSize == kCurrentOrders.lineSize ? &numbers : nullptr,
                        progress, patches);
    written = written &&
              replacement.write("WARENGR.NEU", store::kProductGroupFileName,
                                ProductGroupFile(app, groups)) &&
              replacement.add("RABATT.NEU", store::kDiscountFileName, discounts(4)) &&
              replacement.add("R.DAT", store::kOrderDataName, copyOrders);
  } else {
    RewriteOrderCustomers(app, orderData, orders, progress, map, patches);
    written = written && replacement.add("RABATT.NEU", store::kDiscountFileName, discounts(0)) &&
              replacement.add("R.DAT", store::kOrderDataName, copyOrders) &&
              replacement.write("R.IDX", store::kOrderIndexName, orders.bytes);
  }
  written = written && !orderData.failed();
  written = written && (!rebuild.alsoReplace || rebuild.alsoReplace(replacement));
  if (app.ui) app.ui->endProgress();
  if (!written) {
    Tell(app, NotWrittenText(app), frame::Icon::Stop);
    return 0;
  }
  if (!replacement.commit()) {
    Tell(app, "Die neuen Dateien konnten nicht eingesetzt werden; es wurde nichts verändert.",
         frame::Icon::Stop);
    return 0;
  }
  auto& cursor = articles ? app.articles.lastIndex : app.addresses.lastIndex;
  cursor = kept - 1;
  auto& position = articles ? app.articles.position : app.addresses.position;
  position = std::min(position, kept - 1);
  if (articles) store::LoadProductGroups(app);
  return 1;
}

int ReorganiseArticles(frame::AppState& app) {
  return Ask(app, "Artikel") && MaintenanceMayRun(app) ? RebuildMasterFile(app, ArticleRebuild())
                                                       : 0;
}

int ReorganiseAddresses(frame::AppState& app) {
  return Ask(app, "Adressen") && MaintenanceMayRun(app) ? RebuildMasterFile(app, AddressRebuild())
                                                        : 0;
}

}  // namespace maintenance
