#include "store/parameter_file.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "store/bytes.h"
#include "store/data_file.h"

namespace frame {

namespace {

// Where each field of the older record went. Texts are copied up to their
// zero, but never past the new field nor past the older record.
struct MovedField {
  std::uint16_t oldOffset;
  std::uint16_t newOffset;
  std::uint16_t width;  // bytes for numbers, the new field width for texts
  bool text;
};

constexpr MovedField kMovedFields[] = {
    {0, 2, 80, true},        // company name line 1
    {21, 82, 80, true},      // street
    {62, 162, 80, true},     // town
    {103, 242, 40, true},    // telephone
    {120, 322, 40, true},    // fax
    {137, 402, 42, true},    // bank 1 name
    {191, 444, 28, true},    // bank 1 IBAN
    {204, 472, 42, true},    // bank 2 name
    {245, 514, 14, true},    // bank 2 sort code
    {258, 528, 14, true},    // bank 2 account
    {271, 542, 42, true},    // bank 3 name
    {312, 584, 14, true},    // bank 3 sort code
    {325, 598, 14, true},    // bank 3 account
    {338, 282, 40, true},    // mobile
    {419, 612, 82, true},    // company name line 2
    {500, 694, 82, true},    // company name line 3
    {582, 776, 6, false},    // cash discount and the two periods
    {588, 782, 22, true},    // offer of the week: article number
    {609, 804, 42, true},    // offer of the week: designation
    {650, 846, 4, false},    // offer of the week: price
    {654, 850, 2, false},    // "Kopf drucken"
    {658, 852, 2, false},    // "Fuß drucken"
    {662, 854, 2, false},    // "Angebot der Woche"
    {666, 856, 2, false},    // "Druckvorschau"
    {670, 858, 6, false},    // dunning periods
    {676, 864, 243, false},  // dunning texts
    {920, 1108, 6, false},   // dunning fees
    {926, 1114, 243, false}, // dunning title texts
    {1170, 1358, 60, false}, // reserved block
    {1230, 1418, 6, false},  // print offsets, prices-hidden flag
    {1238, 1424, 2, false},  // "Unterschrift"
    {1242, 1426, 2, false},  // offer currency index
    {1244, 1428, 16, false}, // currency symbols
    {1260, 1444, 24, false}, // tax rate table
    {1284, 1468, 16, false}, // exchange rates
    {1300, 1484, 2, false},  // "Preise sind BRUTTO Preise"
    {1304, 1486, 321, true}, // footer of quotations
    {1625, 1807, 321, true}, // footer of order confirmations
    {1946, 2128, 321, true}, // footer of delivery notes
    {2267, 2449, 321, true}, // footer of invoices
    {2588, 2770, 2, false},  // "Autom. Artikelnummer"
    {2592, 362, 40, true},   // e-mail
    {2618, 2772, 2, false},  // "Zahlziel"
    {2622, 2774, 2, false},  // "Artikel-Nr nicht drucken"
    {2626, 2776, 30, true},  // delivery-note title
};

constexpr std::size_t kTaxTableOffset = 1444;
constexpr std::size_t kTaxSlots = 12;
constexpr std::size_t kCurrencySymbol4 = 1428 + 12;
constexpr std::size_t kExchangeRate1 = 1468;

// Where the older record keeps what can be checked: rates 2 and 3 of
// currencies 1 to 3 in whole percents, the four exchange rates, and the
// currency index of the offer of the week.
constexpr std::size_t kOlderTaxTable = 1260;
constexpr std::size_t kOlderExchangeRates = 1284;
constexpr std::size_t kOlderOfferCurrency = 1242;

bool OlderRecordPlausible(std::span<const std::uint8_t> older) {
  for (std::size_t currency = 0; currency < 3; ++currency)
    for (std::size_t rate = 1; rate < 3; ++rate) {
      const auto percent = store::Load<std::int16_t>(&older[kOlderTaxTable + 6 * currency + 2 * rate]);
      if (percent < 0 || percent > 100) return false;
    }
  for (std::size_t i = 0; i < 4; ++i) {
    const float rate = store::Load<float>(&older[kOlderExchangeRates + 4 * i]);
    if (!std::isfinite(rate) || (rate != 0 && !(rate >= 1e-6f && rate <= 1e6f))) return false;
  }
  const auto currency = store::Load<std::int16_t>(&older[kOlderOfferCurrency]);
  return currency >= 0 && currency <= 3;
}

}  // namespace

ParameterLayout RecogniseParameterLayout(std::span<const std::uint8_t> bytes, std::int64_t size) {
  if (size <= 4) return ParameterLayout::Placeholder;
  if (size > kOlderParameterFileMax) return ParameterLayout::Current;
  if (size != kOlderParameterFileMax || bytes.size() < static_cast<std::size_t>(size))
    return ParameterLayout::Unknown;
  const std::span<const std::uint8_t> older = bytes.subspan(4);
  const bool currentMark = store::Load<float>(&bytes[4 + kExchangeRate1]) == 1.0f &&
                           bytes[4] == 0 && bytes[5] == 0;
  return !currentMark && OlderRecordPlausible(older) ? ParameterLayout::Older
                                                     : ParameterLayout::Unknown;
}

store::ParameterRecord MigrateOlderParameters(std::span<const std::uint8_t> older) {
  std::vector<std::uint8_t> out(sizeof(store::ParameterRecord), 0);
  for (const MovedField& f : kMovedFields) {
    if (f.oldOffset >= older.size()) continue;
    std::size_t room = older.size() - f.oldOffset;
    if (f.text) {
      std::size_t n = 0;
      std::size_t limit = std::min<std::size_t>(f.width - 1, room);
      while (n < limit && older[f.oldOffset + n] != 0) ++n;
      std::memcpy(out.data() + f.newOffset, older.data() + f.oldOffset, n);
    } else {
      std::memcpy(out.data() + f.newOffset, older.data() + f.oldOffset,
                  std::min<std::size_t>(f.width, room));
    }
  }
  out[kCurrencySymbol4] = 128;  // the euro sign in Windows-1252
  out[kCurrencySymbol4 + 1] = 0;
  out[kCurrencySymbol4 + 2] = 0;
  out[kCurrencySymbol4 + 3] = 0;
  // The older file kept whole percents; the twelve slots are taken as they
  // lie, also where later fields overlay the table.
  for (std::size_t i = 0; i < kTaxSlots; ++i) {
    std::uint8_t* at = out.data() + kTaxTableOffset + 2 * i;
    store::Store<std::int16_t>(at, static_cast<std::int16_t>(store::Load<std::int16_t>(at) * 10));
  }
  store::Store<float>(out.data() + kExchangeRate1, 1.0f);
  store::ParameterRecord record;
  std::memcpy(&record, out.data(), sizeof record);
  return record;
}

std::uint32_t FirstOrderNumberOfMonth(int year, int month) {
  return static_cast<std::uint32_t>(((year - 1900) * 100 + month) * 10000 + 1);
}

void TakeChangedFields(const store::ParameterRecord& before, const store::ParameterRecord& after,
                       store::ParameterRecord& onFile) {
  const auto* was = reinterpret_cast<const std::uint8_t*>(&before);
  const auto* now = reinterpret_cast<const std::uint8_t*>(&after);
  auto* out = reinterpret_cast<std::uint8_t*>(&onFile);
  for (const store::FieldDescriptor& field : store::ParameterRecordFields())
    if (std::memcmp(was + field.offset, now + field.offset, field.width) != 0)
      std::memcpy(out + field.offset, now + field.offset, field.width);
}

int SaveParameters(AppState& app, OrderCounter counter) {
  // Held exclusively from reading the file to writing it back, as the order
  // store holds it while it draws a number.
  platform::File file;
  if (store::DataFileExists(app, store::kParameterFileName))
    file = store::OpenData(app, store::kParameterFileName, platform::Access::ReadWrite,
                           platform::Share::Exclusive);
  else
    file = store::OpenData(app, store::kParameterFileName, platform::Access::ReadWrite,
                           platform::Share::Exclusive, platform::Disposition::CreateAlways);
  if (!file) return 0;
  std::uint8_t bytes[store::kParameterFileSize];
  store::ParameterRecord record = app.parameters;
  const std::int64_t size = file.size();
  if (size == static_cast<std::int64_t>(sizeof bytes)) {
    // A file of the current layout keeps every field this copy did not
    // change: another copy may have saved a changeover or a setting since
    // this one read it.
    if (!file.seek(0) || !file.readExact(bytes, sizeof bytes)) return 0;
    std::memcpy(&record, bytes + 4, sizeof record);
    TakeChangedFields(app.storedParameters, app.parameters, record);
  } else {
    // New, a placeholder, or a layout that is not ours: written whole.
    store::Store<std::uint32_t>(bytes, app.nextOrderNumber);
    if (size >= 4 && (!file.seek(0) || !file.readExact(bytes, 4))) return 0;
  }
  // The file's counter: another copy may have drawn numbers since this one
  // read it. Memory's only when the user typed it.
  if (counter == OrderCounter::FromMemory) store::Store<std::uint32_t>(bytes, app.nextOrderNumber);
  std::memcpy(bytes + 4, &record, sizeof record);
  if (!file.seek(0) || !file.write(bytes, sizeof bytes)) return 0;
  app.nextOrderNumber = store::Load<std::uint32_t>(bytes);
  app.parameters = record;
  app.storedParameters = record;
  return 1;
}

}  // namespace frame
