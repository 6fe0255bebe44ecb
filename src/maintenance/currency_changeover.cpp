#include "maintenance/currency_changeover.h"

#include <cstring>
#include <set>

#include "core/user_interface.h"
#include "maintenance/file_images.h"
#include "maintenance/index_repair.h"
#include "store/bytes.h"
#include "store/data_file.h"
#include "store/parameter_file.h"
#include "store/text_field.h"

namespace maintenance {

namespace {

using platform::Access;
using platform::Share;
using store::Load;
using store::Store;

// The amount at `at`, converted, as a patch of the copy.
void Convert(FileWindow& data, Patches& patches, std::uint64_t at) {
  std::int32_t amount = 0;
  if (data.read(at, &amount, 4)) patches[at] = MarkToEuro(amount);
}

struct Source {
  platform::File index, data;
  IndexImage image;
  Patches patches;
};

bool Open(frame::AppState& app, const store::IndexLayout& layout, Source& s) {
  s.index = store::OpenData(app, layout.indexName, Access::Read, Share::DenyWrite);
  if (s.index) s.data = store::OpenData(app, layout.dataName, Access::Read, Share::DenyWrite);
  return s.data && ReadIndexImage(s.index, layout, s.image);
}

// Articles and addresses: each record whose key matches its entry, once.
void ConvertRecords(frame::AppState& app, Source& s, const char* problem,
                    std::initializer_list<std::size_t> fields) {
  const store::IndexLayout& layout = *s.image.layout;
  FileWindow data(s.data);
  std::set<std::uint32_t> done;
  for (std::int32_t i = 0; i < s.image.count; ++i) {
    const std::uint32_t offset = s.image.recordOffset(i);
    std::string_view key =
        store::GetText(reinterpret_cast<const char*>(s.image.entry(i)), layout.keyWidth);
    char stored[42] = {};
    const bool there = std::uint64_t{offset} + layout.recordSize <= data.size() &&
                       data.read(offset + layout.keyInRecord, stored, layout.keyWidth);
    if (!there || store::GetText(stored, layout.keyWidth) != key) {
      Tell(app, problem + std::string(key), frame::Icon::Exclamation);
      continue;
    }
    if (!done.insert(offset).second) continue;
    for (std::size_t field : fields) Convert(data, s.patches, offset + field);
  }
}

// Orders: the total and the paid amount, and the two prices of every line.
void ConvertOrders(Source& s) {
  FileWindow data(s.data);
  std::set<std::uint32_t> done;
  for (std::int32_t i = 0; i < s.image.count; ++i) {
    const std::uint32_t head = s.image.recordOffset(i);
    if (!done.insert(head).second || std::uint64_t{head} + 80 > data.size()) continue;
    Convert(data, s.patches, head + 32);
    Convert(data, s.patches, head + 36);
    ForEachLine(data, head, kCurrentOrders, [&](std::uint64_t at, std::uint16_t length) {
      if (length < 388) return;
      Convert(data, s.patches, at + 380);
      Convert(data, s.patches, at + 384);
    });
  }
}

// Writes the converted copy of a record file under `temporary`.
std::function<bool()> Copy(frame::AppState& app, Source& s, const char* temporary) {
  return [&app, &s, temporary] { return CopyWithPatches(app, s.data, temporary, s.patches); };
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
  auto notDM = [&app] {
    Tell(app, "1. Währung ist nicht DM!\nKonvertierung wurde abgebochen.", frame::Icon::None);
    return 0;
  };
  if (std::strncmp(app.parameters.currencySymbol1, "DM", 2) != 0) return notDM();
  if (!MaintenanceMayRun(app)) return 0;
  Source articles, addresses, orders;
  if (!Open(app, store::kArticleLayout, articles) || !Open(app, store::kAddressLayout, addresses) ||
      !Open(app, store::kOrderLayout, orders)) {
    Tell(app, "Die Dateien können nicht gelesen werden; es wurde nichts verändert.",
         frame::Icon::Stop);
    return 0;
  }
  // The parameter file is held from here until the new one has taken its
  // place: the counter and every setting are the file's own, not what this
  // copy read at its start, and a copy that saves meanwhile waits and then
  // finds the new file (a changeover another copy finished is seen here).
  std::uint32_t next = app.nextOrderNumber;
  store::ParameterRecord parameters = app.parameters;
  platform::File par;
  if (store::DataFileExists(app, store::kParameterFileName)) {
    par = store::OpenData(app, store::kParameterFileName, Access::ReadWrite, Share::Exclusive);
    Bytes held(4 + sizeof parameters);
    if (!par || par.size() < 4 || !par.readExact(held.data(), 4)) {
      Tell(app, "Die Datei " + app.path(store::kParameterFileName) +
                    " kann nicht gelesen werden; es wurde nichts verändert.",
           frame::Icon::Stop);
      return 0;
    }
    next = Load<std::uint32_t>(held.data());
    if (par.size() == static_cast<std::int64_t>(held.size())) {
      if (!par.readExact(held.data() + 4, sizeof parameters)) return 0;
      std::memcpy(&parameters, held.data() + 4, sizeof parameters);
      // What this copy changed and did not save yet goes along.
      frame::TakeChangedFields(app.storedParameters, app.parameters, parameters);
    }
  }
  if (std::strncmp(parameters.currencySymbol1, "DM", 2) != 0) return notDM();
  ChangeCurrencySettings(parameters);
  ConvertRecords(app, articles, "Probleme mit Artikel Nr: ", {406, 414, 422, 430, 434});
  ConvertRecords(app, addresses, "Probleme mit Adresse Nr: ", {930});
  ConvertOrders(orders);
  Bytes parameterFile(4 + sizeof parameters);
  Store<std::uint32_t>(parameterFile.data(), next);
  std::memcpy(parameterFile.data() + 4, &parameters, sizeof parameters);

  Replacement replacement(app);
  if (!replacement.add("A.DAT", store::kArticleDataName, Copy(app, articles, "A.DAT")) ||
      !replacement.add("K.DAT", store::kAddressDataName, Copy(app, addresses, "K.DAT")) ||
      !replacement.add("R.DAT", store::kOrderDataName, Copy(app, orders, "R.DAT")) ||
      !replacement.write("BELVON.NEU", store::kParameterFileName, parameterFile) ||
      !replacement.commit()) {
    Tell(app, NotWrittenText(app), frame::Icon::Stop);
    return 0;
  }
  app.parameters = parameters;
  app.storedParameters = parameters;
  app.nextOrderNumber = next;
  return 1;
}

}  // namespace maintenance
