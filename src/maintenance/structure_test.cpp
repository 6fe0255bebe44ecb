#include "maintenance/structure_test.h"

#include <algorithm>
#include <cstdio>

#include "frame/user_interface.h"
#include "maintenance/collective_links.h"
#include "maintenance/file_images.h"
#include "maintenance/line_articles.h"
#include "store/bytes.h"
#include "store/data_file.h"
#include "store/text_field.h"

namespace maintenance {

namespace {

using store::Load;

struct Pair {
  IndexImage index;
  Bytes data;
};

bool ReadPair(frame::AppState& app, const store::IndexLayout& layout, Pair& pair) {
  auto open = [&app](const char* name) {
    return store::OpenData(app, name, platform::Access::Read, platform::Share::DenyWrite);
  };
  platform::File index = open(layout.indexName);
  platform::File data = index ? open(layout.dataName) : platform::File{};
  Bytes bytes;
  if (!data || !ReadWhole(index, bytes) || !ReadWhole(data, pair.data)) return false;
  pair.index = MakeIndexImage(layout, std::move(bytes));
  return true;
}

// The text field at `at` of the record at `offset` (a record that is not
// there, or too short, reads as empty).
std::string_view TextAt(const Bytes& data, std::uint32_t offset, std::size_t at,
                        std::size_t width) {
  if (std::size_t{offset} + at >= data.size()) return {};
  std::size_t end = std::min<std::size_t>(data.size(), std::size_t{offset} + at + width);
  return store::GetText(reinterpret_cast<const char*>(&data[offset + at]), end - offset - at);
}

void CheckKeys(Pair& pair, const char* format, std::vector<std::string>& problems) {
  const store::IndexLayout& layout = *pair.index.layout;
  for (std::int32_t i = 0; i < pair.index.count; ++i) {
    std::string_view key =
        store::GetText(reinterpret_cast<const char*>(pair.index.entry(i)), layout.keyWidth);
    if (TextAt(pair.data, pair.index.recordOffset(i), layout.keyInRecord, layout.keyWidth) != key) {
      char text[120];
      std::snprintf(text, sizeof text, format, std::string(key).c_str());
      problems.push_back(text);
    }
  }
}

void CheckOrders(Pair& orders, const Bytes& addresses, std::vector<std::string>& problems) {
  for (std::int32_t i = 0; i < orders.index.count; ++i) {
    const std::uint8_t* entry = orders.index.entry(i);
    const std::uint32_t offset = orders.index.recordOffset(i);
    std::uint8_t head[10] = {};
    if (std::size_t{offset} + sizeof head <= orders.data.size())
      std::copy_n(&orders.data[offset], sizeof head, head);
    const std::int32_t headRef = Load<std::int32_t>(head + 2);
    if (Load<std::uint16_t>(head) >= sizeof head && headRef == Load<std::int32_t>(entry) &&
        Load<std::int32_t>(head + 6) == Load<std::int32_t>(entry + 4))
      continue;
    char text[160];
    std::snprintf(
        text, sizeof text, "Probleme mit Rechnung Nr: %8ld, Name: %s",
        static_cast<long>(Load<std::int32_t>(entry + 4)),
        std::string(TextAt(addresses, static_cast<std::uint32_t>(headRef), 56, 42)).c_str());
    problems.push_back(text);
  }
}

}  // namespace

std::vector<std::string> FindStructureProblems(frame::AppState& app) {
  std::vector<std::string> problems;
  Pair articles, orders, addresses;
  const bool haveArticles = ReadPair(app, store::kArticleLayout, articles);
  const bool haveOrders = ReadPair(app, store::kOrderLayout, orders);
  const bool haveAddresses = ReadPair(app, store::kAddressLayout, addresses);
  if (haveArticles)
    CheckKeys(articles, "Probleme mit Artikel Nr: %s", problems);
  else
    problems.push_back("Die Artikeldateien können nicht gelesen werden.");
  if (haveOrders && haveAddresses) {
    CheckOrders(orders, addresses.data, problems);
    CheckCollectiveLinks(orders.index, orders.data, problems);
  } else
    problems.push_back("Die Auftragsdateien können nicht gelesen werden.");
  if (haveOrders && haveArticles)
    CheckLineArticles(orders.index, orders.data, articles.data, problems);
  if (haveAddresses)
    CheckKeys(addresses, "Probleme mit Kunde: %s", problems);
  else
    problems.push_back("Die Adressdateien können nicht gelesen werden.");
  return problems;
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
