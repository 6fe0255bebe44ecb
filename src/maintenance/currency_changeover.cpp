#include "maintenance/currency_changeover.h"

#include <cstring>
#include <set>

#include "frame/user_interface.h"
#include "maintenance/file_images.h"
#include "store/bytes.h"
#include "store/data_file.h"
#include "store/text_field.h"

namespace maintenance {

namespace {

using platform::Access;
using platform::Share;
using store::Load;
using store::Store;

void Convert(Bytes& bytes, std::size_t at) {
  if (at + 4 <= bytes.size())
    Store<std::int32_t>(&bytes[at], MarkToEuro(Load<std::int32_t>(&bytes[at])));
}

struct Source {
  platform::File index, data;
  IndexImage image;
  Bytes bytes;
};

bool Open(frame::AppState& app, const store::IndexLayout& layout, Source& s) {
  s.index = store::OpenData(app, layout.indexName, Access::Read, Share::DenyWrite);
  if (s.index) s.data = store::OpenData(app, layout.dataName, Access::Read, Share::DenyWrite);
  Bytes index;
  if (!s.data || !ReadWhole(s.index, index) || !ReadWhole(s.data, s.bytes)) return false;
  s.image = MakeIndexImage(layout, std::move(index));
  return true;
}

// Articles and addresses: each record whose key matches its entry, once.
void ConvertRecords(frame::AppState& app, Source& s, const char* problem,
                    std::initializer_list<std::size_t> fields) {
  const store::IndexLayout& layout = *s.image.layout;
  std::set<std::uint32_t> done;
  for (std::int32_t i = 0; i < s.image.count; ++i) {
    const std::uint32_t offset = s.image.recordOffset(i);
    std::string_view key =
        store::GetText(reinterpret_cast<const char*>(s.image.entry(i)), layout.keyWidth);
    const std::size_t at = std::size_t{offset} + layout.keyInRecord;
    bool there = std::size_t{offset} + layout.recordSize <= s.bytes.size();
    if (!there ||
        store::GetText(reinterpret_cast<const char*>(&s.bytes[at]), layout.keyWidth) != key) {
      Tell(app, problem + std::string(key), frame::Icon::Exclamation);
      continue;
    }
    if (!done.insert(offset).second) continue;
    for (std::size_t field : fields) Convert(s.bytes, offset + field);
  }
}

// Orders: the total and the paid amount, and the two prices of every line.
void ConvertOrders(Source& s) {
  std::set<std::uint32_t> done;
  for (std::int32_t i = 0; i < s.image.count; ++i) {
    const std::uint32_t head = s.image.recordOffset(i);
    if (!done.insert(head).second || std::size_t{head} + 80 > s.bytes.size()) continue;
    Convert(s.bytes, head + 32);
    Convert(s.bytes, head + 36);
    ForEachLine(s.bytes, head, kCurrentOrders, [&s](std::size_t at, std::uint16_t length) {
      if (length < 388) return;
      Convert(s.bytes, at + 380);
      Convert(s.bytes, at + 384);
    });
  }
}

}  // namespace

std::int32_t MarkToEuro(std::int32_t amount) {
  return static_cast<std::int32_t>(amount / kDeutscheMarkPerEuro);
}

void ChangeCurrencySettings(store::ParameterRecord& p) {
  char first[4];
  std::memcpy(first, p.currencySymbol1, 4);
  std::memcpy(p.currencySymbol1, p.currencySymbol4, 4);
  std::memcpy(p.currencySymbol4, first, 4);
  const float rate = static_cast<float>(kDeutscheMarkPerEuro);
  p.exchangeRates[1] = p.exchangeRates[1] * rate;
  p.exchangeRates[2] = p.exchangeRates[2] * rate;
  p.exchangeRates[3] = 1.0f / p.exchangeRates[3];
}

int CurrencyChangeover(frame::AppState& app) {
  if (!app.ui ||
      !app.ui->question("1. Währung DM wirklich nach Euro konvertieren?\nDiese Funktion darf nur "
                        "einmalig aufgerufen werden!",
                        frame::Icon::Question, true))
    return 0;
  if (std::strncmp(app.parameters.currencySymbol1, "DM", 2) != 0) {
    Tell(app, "1. Währung ist nicht DM!\nKonvertierung wurde abgebochen.", frame::Icon::None);
    return 0;
  }
  Source articles, addresses, orders;
  if (!Open(app, store::kArticleLayout, articles) || !Open(app, store::kAddressLayout, addresses) ||
      !Open(app, store::kOrderLayout, orders)) {
    Tell(app, "Die Dateien können nicht gelesen werden; es wurde nichts verändert.",
         frame::Icon::Stop);
    return 0;
  }
  store::ParameterRecord parameters = app.parameters;
  ChangeCurrencySettings(parameters);
  ConvertRecords(app, articles, "Probleme mit Artikel Nr: ", {406, 414, 422, 430, 434});
  ConvertRecords(app, addresses, "Probleme mit Adresse Nr: ", {930});
  ConvertOrders(orders);
  // The counter as the file holds it now: other copies may have drawn numbers.
  std::uint32_t next = app.nextOrderNumber;
  std::uint8_t counter[4];
  platform::File par =
      store::DataFileExists(app, store::kParameterFileName)
          ? store::OpenData(app, store::kParameterFileName, Access::Read, Share::DenyNone)
          : platform::File();
  if (par && par.readExact(counter, 4)) next = Load<std::uint32_t>(counter);
  par.close();
  Bytes parameterFile(4 + sizeof parameters);
  Store<std::uint32_t>(parameterFile.data(), next);
  std::memcpy(parameterFile.data() + 4, &parameters, sizeof parameters);

  Replacement replacement(app);
  if (!replacement.write("A.DAT", store::kArticleDataName, articles.bytes) ||
      !replacement.write("K.DAT", store::kAddressDataName, addresses.bytes) ||
      !replacement.write("R.DAT", store::kOrderDataName, orders.bytes) ||
      !replacement.write("BELVON.NEU", store::kParameterFileName, parameterFile) ||
      !replacement.commit()) {
    Tell(app,
         "Die umgestellten Dateien konnten nicht geschrieben werden (ist der Datenträger "
         "voll?).\nEs wurde nichts verändert.",
         frame::Icon::Stop);
    return 0;
  }
  app.parameters = parameters;
  app.nextOrderNumber = next;
  return 1;
}

}  // namespace maintenance
