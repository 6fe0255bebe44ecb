#include "cli/dump.h"

#include <cstring>
#include <vector>

#include "cli/json_line.h"
#include "store/parameter_file.h"
#include "platform/cp1252.h"
#include "store/address_record.h"
#include "store/article_record.h"
#include "store/bytes.h"
#include "store/data_file.h"
#include "store/discount_entry.h"
#include "store/indexed_file.h"
#include "store/order_framing.h"
#include "store/order_record.h"
#include "store/parameter_record.h"
#include "store/product_group_table.h"
#include "store/text_field.h"

namespace cli {

namespace {

using platform::Access;
using platform::Share;

platform::File OpenForDump(frame::AppState& app, const char* name) {
  if (!store::DataFileExists(app, name)) {
    std::fprintf(stderr, "Datei %s nicht gefunden.\n", app.path(name).c_str());
    return {};
  }
  platform::File file = store::OpenData(app, name, Access::Read, Share::DenyWrite);
  if (!file) std::fprintf(stderr, "Datei %s kann nicht geöffnet werden.\n", app.path(name).c_str());
  return file;
}

void Emit(std::FILE* out, const JsonLine& line) {
  std::fputs(line.str().c_str(), out);
  std::fputc('\n', out);
}

int DumpParameters(frame::AppState& app, std::FILE* out) {
  platform::File file = OpenForDump(app, store::kParameterFileName);
  if (!file) return 1;
  std::int64_t size = file.size();
  // Either layout lies in the first kParameterFileSize bytes: however large
  // the file has grown, nothing behind them is read.
  static_assert(store::kParameterFileSize >= 4 + frame::kOlderParameterRecordRead);
  std::vector<std::uint8_t> bytes(store::kParameterFileSize, 0);
  const std::size_t got = file.read(bytes.data(), bytes.size());
  store::ParameterRecord record;
  const frame::ParameterLayout layout =
      frame::RecogniseParameterLayout(std::span<const std::uint8_t>(bytes.data(), got), size);
  const bool older = layout == frame::ParameterLayout::Older;
  if (older) {
    std::vector<std::uint8_t> old(frame::kOlderParameterRecordRead, 0);
    std::memcpy(old.data(), bytes.data() + 4,
                std::min<std::size_t>(old.size(), bytes.size() - 4));
    record = frame::MigrateOlderParameters(old);
  } else {
    std::memcpy(&record, bytes.data() + 4, sizeof record);
  }
  // A file of neither layout is shown as the current layout would read it.
  const bool unknown = layout == frame::ParameterLayout::Unknown;
  if (unknown)
    std::fprintf(stderr, "Die Datei %s hat weder den Aufbau dieser noch den der vorigen "
                         "Programmversion.\n", app.path(store::kParameterFileName).c_str());
  JsonLine line;
  line.number("file_size", size)
      .string("layout", older                                          ? "older"
                        : unknown                                        ? "unknown"
                        : layout == frame::ParameterLayout::Placeholder ? "empty"
                                                                         : "current")
      .number("next_order_number", store::Load<std::uint32_t>(bytes.data()))
      .record(store::ParameterRecordFields(), &record);
  Emit(out, line);
  return unknown ? 1 : 0;
}

// Walks an index in order and hands each entry's position, record offset and
// record to `emit`.
template <typename Record, typename Emit>
int DumpIndexed(frame::AppState& app, const store::IndexLayout& layout, Emit emitRecord) {
  platform::File index = OpenForDump(app, layout.indexName);
  if (!index) return 1;
  platform::File data = OpenForDump(app, layout.dataName);
  if (!data) return 1;
  std::int32_t last = store::ReadLastIndex(layout, index);
  std::vector<std::uint8_t> entry(layout.entrySize);
  for (std::int32_t i = 0; i <= last; ++i) {
    if (!index.seek(layout.headerSize + static_cast<std::uint64_t>(i) * layout.entrySize) ||
        !index.readExact(entry.data(), entry.size()))
      return 1;
    std::uint32_t offset = store::Load<std::uint32_t>(entry.data() + layout.offsetInEntry);
    emitRecord(i, offset, entry.data(), data);
  }
  return 0;
}

template <typename Record>
int DumpPlainRecords(frame::AppState& app, const store::IndexLayout& layout,
                     store::FieldTable fields, std::FILE* out) {
  return DumpIndexed<Record>(
      app, layout,
      [&](std::int32_t position, std::uint32_t offset, const std::uint8_t*, platform::File& data) {
        Record record{};
        std::span<std::uint8_t> bytes(reinterpret_cast<std::uint8_t*>(&record), sizeof record);
        JsonLine line;
        line.number("position", position).number("offset", offset);
        if (store::ReadFramedRecord(data, offset, bytes, true) < 0)
          line.string("error", "Datensatz nicht lesbar");
        else
          line.record(fields, &record);
        Emit(out, line);
      });
}

// An order that cannot be read whole is named with its index entry and
// an error instead of its head and lines, told on stderr, and ends the dump
// with 1 once every other order is out.
int DumpOrders(frame::AppState& app, std::FILE* out) {
  std::vector<store::OrderLine> lines(store::kOrderLineSlots);
  bool damaged = false;
  const int result = DumpIndexed<store::OrderHead>(
      app, store::kOrderLayout,
      [&](std::int32_t position, std::uint32_t offset, const std::uint8_t* entry,
          platform::File& data) {
        store::OrderHead head{};
        const auto number = store::Load<std::int32_t>(entry + 4);
        JsonLine line;
        line.number("position", position)
            .number("offset", offset)
            .number("index_customer_ref", store::Load<std::int32_t>(entry))
            .number("index_order_number", number);
        const bool headRead = store::ReadOrderHead(data, offset, head);
        const int count = headRead ? store::ReadOrderLines(data, offset, head, lines) : 0;
        if (!headRead || count != head.lineCount) {
          std::fprintf(stderr, "Probleme mit Auftrag #%ld\nAuftrag kann nicht gelesen werden.\n",
                       static_cast<long>(number));
          line.string("error", headRead ? "Auftrag unvollständig" : "Auftrag nicht lesbar");
          Emit(out, line);
          damaged = true;
          return;
        }
        line.record(store::OrderHeadFields(), &head);
        std::string array = "[";
        for (int i = 1; i <= count; ++i) {
          if (i > 1) array += ',';
          JsonLine item;
          item.number("line", i).record(store::OrderLineFields(), &lines[i]);
          array += item.str();
        }
        array += ']';
        line.raw("lines", array);
        Emit(out, line);
      });
  return result != 0 ? result : damaged ? 1 : 0;
}

int DumpDiscounts(frame::AppState& app, std::FILE* out) {
  platform::File file = OpenForDump(app, store::kDiscountFileName);
  if (!file) return 1;
  std::int64_t count = std::max<std::int64_t>(file.size(), 0) / sizeof(store::DiscountEntry);
  for (std::int64_t i = 0; i < count; ++i) {
    store::DiscountEntry entry{};
    if (!file.readExact(&entry, sizeof entry)) return 1;
    JsonLine line;
    line.number("position", i)
        .number("offset", i * static_cast<std::int64_t>(sizeof entry))
        .record(store::DiscountEntryFields(), &entry);
    Emit(out, line);
  }
  return 0;
}

int DumpGroups(frame::AppState& app, std::FILE* out) {
  platform::File file = OpenForDump(app, store::kProductGroupFileName);
  if (!file) return 1;
  std::int64_t count = std::max<std::int64_t>(file.size(), 0) / store::kProductGroupNameSize;
  for (std::int64_t i = 0; i < count; ++i) {
    char name[store::kProductGroupNameSize];
    if (!file.readExact(name, sizeof name)) return 1;
    JsonLine line;
    line.number("position", i)
        .number("offset", i * store::kProductGroupNameSize)
        .string("name", platform::Cp1252ToUtf8(store::GetText(name)));
    Emit(out, line);
  }
  return 0;
}

}  // namespace

int DumpKind(frame::AppState& app, const std::string& kind, std::FILE* out) {
  if (kind == "parameters") return DumpParameters(app, out);
  if (kind == "articles")
    return DumpPlainRecords<store::ArticleRecord>(app, store::kArticleLayout,
                                                  store::ArticleRecordFields(), out);
  if (kind == "addresses")
    return DumpPlainRecords<store::AddressRecord>(app, store::kAddressLayout,
                                                  store::AddressRecordFields(), out);
  if (kind == "orders") return DumpOrders(app, out);
  if (kind == "discounts") return DumpDiscounts(app, out);
  if (kind == "groups") return DumpGroups(app, out);
  std::fprintf(stderr, "Unbekannte Art: %s\n", kind.c_str());
  return 2;
}

}  // namespace cli
