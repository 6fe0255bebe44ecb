#include "maintenance/structure_test.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>

#include "core/user_interface.h"
#include "maintenance/collective_links.h"
#include "maintenance/file_images.h"
#include "maintenance/issue_book_check.h"
#include "maintenance/line_articles.h"
#include "maintenance/record_walk.h"
#include "platform/cp1252.h"
#include "store/bytes.h"
#include "store/data_file.h"
#include "store/indexed_file.h"
#include "store/issue_file.h"
#include "store/order_kinds.h"
#include "store/order_record.h"
#include "store/text_field.h"

namespace maintenance {

namespace {

using Entry = std::vector<std::uint8_t>;
using store::Load;

// One pair of files as the test saw it.
struct Examined {
  const store::IndexLayout* layout = nullptr;
  bool readable = false;
  RecordFileWalk walk;
  std::vector<Entry> live;        // the entries the header counts that reach their record
  std::set<std::uint64_t> reached;
  std::set<std::string> liveKeys;  // exact keys (orders: numbers)
  std::vector<StructureProblem> problems;
};

std::string Format(const char* format, const std::string& a, const std::string& b = {},
                   const std::string& c = {}) {
  char text[400];
  std::snprintf(text, sizeof text, format, a.c_str(), b.c_str(), c.c_str());
  return text;
}

std::uint32_t OffsetOf(const store::IndexLayout& layout, const Entry& entry) {
  return Load<std::uint32_t>(entry.data() + layout.offsetInEntry);
}

// "Artikel Nr: 4711", "Kunde: Meier", "Rechnung Nr: 1003": how a record is named.
// The messages are UTF-8; keys and names are stored in Windows-1252.
std::string Named(const store::IndexLayout& layout, const std::string& key) {
  if (&layout == &store::kArticleLayout) return "Artikel Nr: " + platform::Cp1252ToUtf8(key);
  if (&layout == &store::kAddressLayout) return "Kunde: " + platform::Cp1252ToUtf8(key);
  return "Rechnung Nr: " + key;
}

std::string AddressName(FileWindow* addresses, std::int32_t ref) {
  char name[42] = {};
  if (!addresses || ref < 0 || !addresses->read(static_cast<std::uint64_t>(ref) + 56, name, 42))
    return {};
  return platform::Cp1252ToUtf8(store::GetText(name, sizeof name));
}

// Does the entry agree with the record it reaches? Else the message of the
// test for that file.
bool CheckEntry(Examined& e, const Entry& entry, FileWindow* addresses) {
  const store::IndexLayout& layout = *e.layout;
  const WalkedRecord* record = e.walk.at(OffsetOf(layout, entry));
  const std::string key = EntryKey(layout, entry.data());
  if (layout.textKey) {
    if (record && record->key == key) return true;
    e.problems.push_back({Finding::Damage, &layout,
                          Format(&layout == &store::kArticleLayout ? "Probleme mit Artikel Nr: %s"
                                                                   : "Probleme mit Kunde: %s",
                                 key)});
    return false;
  }
  const std::int32_t customer = Load<std::int32_t>(entry.data());
  if (record && record->customerRef == customer &&
      record->orderNumber == Load<std::int32_t>(&entry[4]))
    return true;
  char text[200];
  std::snprintf(text, sizeof text, "Probleme mit Rechnung Nr: %8ld, Name: %s",
                static_cast<long>(Load<std::int32_t>(&entry[4])),
                AddressName(addresses, record ? record->customerRef : customer).c_str());
  e.problems.push_back({Finding::Damage, &layout, text});
  return false;
}

// After this many damaged entries in one index the rest is only summed up:
// a wholly damaged index must not cost a message per entry.
constexpr int kDamageShown = 200;

// `namesFrom` (the address records) names the customer in the messages of
// the order file. It is opened after the files examined, in the order every
// writer takes them (index, records, then the addresses), so that the test
// never holds one that a running booking or issue waits for.
void Examine(frame::AppState& app, const store::IndexLayout& layout, Examined& e,
             const char* namesFrom) {
  e.layout = &layout;
  auto open = [&app](const char* name) {
    return store::OpenData(app, name, platform::Access::Read, platform::Share::DenyWrite);
  };
  platform::File indexFile = open(layout.indexName);
  platform::File dataFile = indexFile ? open(layout.dataName) : platform::File{};
  platform::File namesFile = dataFile && namesFrom ? open(namesFrom) : platform::File{};
  FileWindow index(indexFile), data(dataFile);
  std::optional<FileWindow> names;
  if (namesFile) names.emplace(namesFile);
  FileWindow* addresses = names ? &*names : nullptr;
  auto problem = [&e, &layout](Finding finding, std::string text) {
    e.problems.push_back({finding, &layout, std::move(text)});
  };
  const std::string unreadable =
      Format("Die Dateien %s und %s können nicht gelesen werden.", layout.indexName,
             layout.dataName);
  if (!dataFile || index.failed() || data.failed() || !WalkRecordFile(layout, data, e.walk)) {
    problem(Finding::Damage, unreadable);
    return;
  }
  e.readable = true;
  for (const UnreadableStretch& s : e.walk.unreadable)
    problem(Finding::Note, Format("%s ist von Byte %s bis %s nicht lesbar.", layout.dataName,
                                  std::to_string(s.from), std::to_string(s.to)));

  const std::uint64_t headerSize = static_cast<std::uint64_t>(layout.headerSize);
  const std::uint64_t slots =
      index.size() < headerSize ? 0 : (index.size() - headerSize) / layout.entrySize;
  std::int64_t last = -1;
  std::uint8_t header[4] = {};
  if (index.size() >= headerSize && index.read(0, header, headerSize))
    last = layout.headerSize == 4 ? Load<std::int32_t>(header) : Load<std::int16_t>(header);
  if (index.size() < headerSize && !e.walk.records.empty())
    problem(Finding::Damage, Format("Die Indexdatei %s ist leer, aber %s enthält Datensätze.",
                                    layout.indexName, layout.dataName));
  // Each entry reaches a record of its own: the record file bounds the index.
  if (slots > data.size() / MinimumRecordLength(layout) + 1) {
    problem(Finding::Damage, Format("Die Indexdatei %s ist größer, als %s zulässt.",
                                    layout.indexName, layout.dataName));
    return;
  }
  if (index.size() > headerSize && (index.size() - headerSize) % layout.entrySize != 0)
    problem(Finding::Damage, Format("Die Indexdatei %s ist abgeschnitten (%s Bytes).",
                                    layout.indexName, std::to_string(index.size())));
  if (last < -1) {
    problem(Finding::Damage, Format("Der Kopf der Indexdatei %s ist beschädigt (%s).",
                                    layout.indexName, std::to_string(last)));
    return;
  }
  const std::uint64_t count = std::min<std::uint64_t>(static_cast<std::uint64_t>(last + 1), slots);
  if (static_cast<std::uint64_t>(last + 1) > slots)
    problem(Finding::Damage, Format("Die Indexdatei %s nennt %s Einträge, enthält aber nur %s.",
                                    layout.indexName, std::to_string(last + 1),
                                    std::to_string(slots)));

  Entry previous, entry(static_cast<std::size_t>(layout.entrySize));
  const std::uint64_t looked = std::min<std::uint64_t>(count, e.walk.records.size() + kDamageShown);
  for (std::uint64_t i = 0; i < looked; ++i)
    if (index.read(headerSize + i * layout.entrySize, entry.data(), entry.size()))
      AddRecordAt(layout, data, entry.data(), e.walk);
  // For each key the copy stored last: the one its entry must reach.
  std::map<std::string, std::uint64_t> latest;
  for (const WalkedRecord& r : e.walk.records) latest[r.key] = r.offset;
  int damaged = 0;
  for (std::uint64_t i = 0; i < count; ++i) {
    if (!index.read(headerSize + i * layout.entrySize, entry.data(), entry.size())) break;
    const std::size_t before = e.problems.size();
    const std::string key = EntryKey(layout, entry.data());
    if (!previous.empty() && store::CompareEntries(layout, previous.data(), entry.data()) > 0)
      problem(Finding::Damage,
              Format("Die Indexdatei %s ist nicht sortiert: %s steht hinter %s.", layout.indexName,
                     Named(layout, key), Named(layout, EntryKey(layout, previous.data()))));
    if (e.liveKeys.count(key))
      problem(Finding::Damage, Format("Die Indexdatei %s enthält %s doppelt.", layout.indexName,
                                      Named(layout, key)));
    else if (e.reached.count(OffsetOf(layout, entry)))
      problem(Finding::Damage,
              Format("In der Indexdatei %s erreicht %s einen Datensatz, den schon ein anderer "
                     "Eintrag erreicht.",
                     layout.indexName, Named(layout, key)));
    else if (!CheckEntry(e, entry, addresses))
      ;
    else if (latest[key] != OffsetOf(layout, entry))
      problem(Finding::Damage,
              Format("Die Indexdatei %s erreicht von %s nicht die zuletzt gespeicherte Fassung.",
                     layout.indexName, Named(layout, key)));
    else {
      e.liveKeys.insert(key);
      e.reached.insert(OffsetOf(layout, entry));
      e.live.push_back(entry);
    }
    previous = entry;
    if (e.problems.size() > before && ++damaged == kDamageShown && i + 1 < count) {
      problem(Finding::Damage, Format("In der Indexdatei %s sind noch weitere Einträge beschädigt.",
                                      layout.indexName));
      return;
    }
  }

  // A whole record that only an entry beyond the count names (by its offset,
  // or by its key where the offset is damaged), and that is the copy of its
  // key stored last. Far beyond as many slots as there are records, none
  // names one of its own any more.
  std::set<std::uint64_t> told;
  const std::uint64_t stale =
      std::min<std::uint64_t>(slots - count, 2 * e.walk.records.size() + kDamageShown);
  for (std::uint64_t i = count; i < count + stale; ++i) {
    if (!index.read(headerSize + i * layout.entrySize, entry.data(), entry.size())) break;
    std::uint64_t offset = OffsetOf(layout, entry);
    const WalkedRecord* record = e.walk.at(offset);
    const std::string key = EntryKey(layout, entry.data());
    if (!(record && record->key == key) && latest.count(key)) {
      offset = latest[key];
      record = e.walk.at(offset);
    }
    if (!record || e.reached.count(offset) || e.liveKeys.count(record->key) ||
        latest[record->key] != offset || !told.insert(offset).second)
      continue;
    // A collective invoice whose issue never came to be (an older version
    // stored it before printing and took back only its entry) is never
    // taken back: it would come back as issued with its notes unbilled.
    std::uint16_t flags = 0;
    store::IssueRecord issued;
    if (&layout == &store::kOrderLayout &&
        data.read(offset + offsetof(store::OrderHead, flags), &flags, sizeof flags) &&
        (flags & store::kOrderCollectiveInvoice) &&
        !store::FindIssueRecord(app, record->orderNumber, issued)) {
      e.problems.push_back({Finding::Unindexed, &layout,
                            Format("Sammelrechnung Nr: %s steht in %s, wurde aber nie "
                                   "ausgestellt; die Reparatur nimmt sie nicht wieder auf.",
                                   std::to_string(record->orderNumber), layout.dataName),
                            offset, true});
      continue;
    }
    e.problems.push_back({Finding::Unindexed, &layout,
                          Format("%s steht in %s, aber in keinem Indexeintrag.",
                                 Named(layout, record->key), layout.dataName),
                          offset});
  }
  if (index.failed()) problem(Finding::Damage, unreadable);
}

// The references of the orders: every customer reference reaches an address
// record, every line's article reference an article record, and not an old
// copy of an article whose number the index holds elsewhere.
void CheckOrderReferences(frame::AppState& app, Examined& orders, const Examined& articles,
                          const Examined& addresses) {
  platform::File file = store::OpenData(app, store::kOrderDataName, platform::Access::Read,
                                        platform::Share::DenyWrite);
  if (!file) return;
  FileWindow data(file);
  auto note = [&orders](const std::string& text) {
    orders.problems.push_back({Finding::Note, &store::kOrderLayout, text});
  };
  for (const Entry& entry : orders.live) {
    const WalkedRecord* order = orders.walk.at(OffsetOf(store::kOrderLayout, entry));
    if (!order) continue;
    const std::string number = std::to_string(order->orderNumber);
    if (addresses.readable && order->customerRef >= 0 &&
        !addresses.walk.at(static_cast<std::uint32_t>(order->customerRef)))
      note(Format("Rechnung Nr: %s verweist auf keine Adresse.", number));
    std::uint16_t headLength = 0;
    std::int16_t count = 0;
    if (!articles.readable || !data.read(order->offset, &headLength, 2) ||
        !data.read(order->offset + 24, &count, 2))
      continue;
    std::uint64_t at = order->offset + std::min<std::size_t>(headLength, store::kOrderHeadSize);
    for (int i = 1; i <= count && at < order->end; ++i) {
      std::uint8_t line[store::kOrderLineSize] = {};
      std::uint16_t length = 0;
      if (!data.read(at, &length, 2) || length < 396 ||
          !data.read(at, line, std::min<std::size_t>(length, sizeof line)))
        break;
      at += length;
      const std::int32_t ref = Load<std::int32_t>(line + 392);
      if (ref < 0) continue;
      const std::string position = std::to_string(i);
      const std::string lineNumber(store::GetText(reinterpret_cast<const char*>(line + 10), 22));
      if (!articles.walk.at(static_cast<std::uint32_t>(ref)))
        note(Format("Rechnung Nr: %s, Position %s verweist auf keinen Artikel.", number, position));
      else if (!articles.reached.count(static_cast<std::uint32_t>(ref)) &&
               articles.liveKeys.count(lineNumber))
        note(Format("Rechnung Nr: %s, Position %s verweist auf eine alte Fassung von Artikel Nr: %s.",
                    number, position, lineNumber));
    }
  }
}

}  // namespace

// The links of collective invoices to their delivery notes and the article
// numbers of order lines, read through windows like the rest of the test.
void CheckOrderLinks(frame::AppState& app, std::vector<StructureProblem>& problems) {
  using platform::Access;
  using platform::Share;
  platform::File index = store::OpenData(app, store::kOrderIndexName, Access::Read, Share::DenyWrite);
  platform::File orderFile = store::OpenData(app, store::kOrderDataName, Access::Read, Share::DenyWrite);
  platform::File articleFile =
      store::OpenData(app, store::kArticleDataName, Access::Read, Share::DenyWrite);
  IndexImage image;
  if (!index || !orderFile || !articleFile || !ReadIndexImage(index, store::kOrderLayout, image))
    return;
  FileWindow orderData(orderFile), articleData(articleFile);
  std::vector<std::string> texts;
  CheckCollectiveLinks(image, orderData, texts);
  CheckLineArticles(image, orderData, articleData, texts);
  CheckIssueBook(app, image, orderData, texts);
  for (std::string& text : texts)
    problems.push_back({Finding::Note, &store::kOrderLayout, std::move(text)});
}

bool AnyOf(const std::vector<StructureProblem>& problems, Finding finding) {
  return std::any_of(problems.begin(), problems.end(),
                     [finding](const StructureProblem& p) { return p.finding == finding; });
}

std::vector<StructureProblem> ExamineDataStructures(frame::AppState& app) {
  Examined articles, addresses, orders;
  Examine(app, store::kArticleLayout, articles, nullptr);
  Examine(app, store::kAddressLayout, addresses, nullptr);
  Examine(app, store::kOrderLayout, orders, store::kAddressDataName);
  if (orders.readable) CheckOrderReferences(app, orders, articles, addresses);
  if (orders.readable) CheckOrderLinks(app, orders.problems);
  std::vector<StructureProblem> problems = std::move(articles.problems);
  problems.insert(problems.end(), orders.problems.begin(), orders.problems.end());
  problems.insert(problems.end(), addresses.problems.begin(), addresses.problems.end());
  return problems;
}

std::vector<std::string> FindStructureProblems(frame::AppState& app) {
  std::vector<std::string> texts;
  for (const StructureProblem& p : ExamineDataStructures(app)) texts.push_back(p.text);
  return texts;
}

int TestDataStructures(frame::AppState& app) {
  std::vector<std::string> problems = FindStructureProblems(app);
  if (app.ui) {
    for (const std::string& problem : problems) app.ui->message(problem, frame::Icon::Exclamation);
    app.ui->message("Test beendet !", frame::Icon::Exclamation);
  }
  return static_cast<int>(problems.size());
}

}  // namespace maintenance
