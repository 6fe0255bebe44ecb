#include "frame/load_parameters.h"

#include <cstring>
#include <vector>

#include "frame/parameter_file.h"
#include "store/bytes.h"
#include "store/data_file.h"
#include "store/indexed_file.h"
#include "tools/appointment_reminder.h"

namespace frame {

namespace {

using platform::Access;
using platform::Disposition;
using platform::Share;

void AfterParametersRead(AppState& app) {
  app.parameters.exchangeRates[0] = 1.0f;
  app.fourthCurrencyPrint = app.parameters.fourthCurrencyPrint;
}

// The older, shorter layout: take it over, write it back in the current
// layout and convert the record files of the same generation.
void MigrateParameterFile(AppState& app, platform::File& file, std::int64_t size) {
  std::uint8_t number[4] = {};
  std::vector<std::uint8_t> older(kOlderParameterRecordRead, 0);
  file.seek(0);
  std::size_t gotNumber = file.read(number, sizeof number);
  if (gotNumber == sizeof number) file.read(older.data(), older.size());
  app.parameters = MigrateOlderParameters(older);
  if (gotNumber == sizeof number) {
    app.nextOrderNumber = store::Load<std::uint32_t>(number);
  } else {
    // The empty file of a first start that never saved: no number yet.
    platform::LocalTime today = app.clock->now();
    app.nextOrderNumber = FirstOrderNumberOfMonth(today.year, today.month);
  }
  AfterParametersRead(app);
  std::uint8_t bytes[store::kParameterFileSize];
  store::Store<std::uint32_t>(bytes, app.nextOrderNumber);
  std::memcpy(bytes + 4, &app.parameters, sizeof app.parameters);
  file.seek(0);
  file.write(bytes, sizeof bytes);
  file.close();
  // Only a file that really came from the older program brings record files
  // of the older format; the empty placeholder of a first start does not, and
  // converting current files as older ones would destroy them.
  if (size > 4 && app.convertPreviousFormat) app.convertPreviousFormat(app);
}

void LoadParameterFile(AppState& app) {
  if (store::DataFileExists(app, store::kParameterFileName)) {
    platform::File file =
        store::OpenData(app, store::kParameterFileName, Access::ReadWrite, Share::Exclusive);
    if (!file) return;  // the user gave up waiting; keep what memory holds
    std::int64_t size = file.size();
    if (size <= kOlderParameterFileMax) {
      MigrateParameterFile(app, file, size);
      return;
    }
    std::uint8_t bytes[store::kParameterFileSize] = {};
    file.read(bytes, sizeof bytes);
    app.nextOrderNumber = store::Load<std::uint32_t>(bytes);
    std::memcpy(&app.parameters, bytes + 4, sizeof app.parameters);
    AfterParametersRead(app);
    return;
  }
  if (!app.parameters.plusOneNumbering) {
    platform::LocalTime today = app.clock->now();
    app.nextOrderNumber = FirstOrderNumberOfMonth(today.year, today.month);
  }
  std::memset(&app.parameters, 0, sizeof app.parameters);
  // The file stays empty until the parameters are saved for the first time.
  store::OpenDataOnce(app, store::kParameterFileName, Access::Write, Share::Exclusive,
                      Disposition::CreateAlways);
  AfterParametersRead(app);
}

void CreateIfMissing(AppState& app, const char* name) {
  if (!store::DataFileExists(app, name))
    store::OpenDataOnce(app, name, Access::Write, Share::Exclusive, Disposition::CreateAlways);
}

// An index with its record file: read the header when the index exists,
// else create both empty with the header of an empty index. Only the index
// decides: without it, the record file is created anew, whatever it held.
void OpenOrCreateIndex(AppState& app, const store::IndexLayout& layout, std::int32_t& lastIndex,
                       Share createShare) {
  if (store::DataFileExists(app, layout.indexName)) {
    platform::File index = store::OpenData(app, layout.indexName, Access::Read, Share::DenyWrite);
    if (!index) return;
    lastIndex = store::ReadLastIndex(layout, index);
    return;
  }
  store::OpenDataOnce(app, layout.indexName, Access::Write, createShare, Disposition::CreateAlways);
  store::OpenDataOnce(app, layout.dataName, Access::Write, createShare, Disposition::CreateAlways);
  lastIndex = -1;
  platform::File index = store::OpenDataOnce(app, layout.indexName, Access::Write, Share::Exclusive);
  if (!index) return;
  std::uint8_t header[4];
  store::Store<std::int32_t>(header, -1);
  index.write(header, layout.headerSize);
}

}  // namespace

void LoadParameters(AppState& app) {
  LoadParameterFile(app);
  CreateIfMissing(app, store::kProductGroupFileName);
  CreateIfMissing(app, store::kDiscountFileName);
  OpenOrCreateIndex(app, store::kAddressLayout, app.addresses.lastIndex, Share::Exclusive);
  OpenOrCreateIndex(app, store::kArticleLayout, app.articles.lastIndex, Share::Exclusive);
  OpenOrCreateIndex(app, store::kOrderLayout, app.orders.lastIndex, Share::DenyWrite);
  tools::SearchAppointments(app);
}

}  // namespace frame
