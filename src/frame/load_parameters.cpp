#include "frame/load_parameters.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "frame/parameter_file.h"
#include "frame/user_interface.h"
#include "store/bytes.h"
#include "store/address_file.h"
#include "store/article_file.h"
#include "store/data_file.h"
#include "store/file_replacement.h"
#include "store/index_rebuild.h"
#include "store/indexed_file.h"
#include "tools/appointment_reminder.h"

namespace frame {

namespace {

using platform::Access;
using platform::Disposition;
using platform::PathKind;
using platform::Share;

void Tell(AppState& app, const std::string& text) {
  if (app.ui) app.ui->message(text, Icon::Stop);
}

void AfterParametersRead(AppState& app) {
  app.parameters.exchangeRates[0] = 1.0f;
  app.fourthCurrencyPrint = app.parameters.fourthCurrencyPrint;
}

std::string UnreadableText(const AppState& app, const char* name) {
  return "Die Datei " + app.path(name) + " kann nicht gelesen werden.";
}

// The file is the empty placeholder of a first start that never saved (or
// holds no more than an order number): take what it has and write it back in
// the current layout.
void TakeOverPlaceholder(AppState& app, platform::File& file, std::int64_t size) {
  std::uint8_t number[4] = {};
  if (size == 4 && file.seek(0) && file.readExact(number, sizeof number)) {
    app.nextOrderNumber = store::Load<std::uint32_t>(number);
  } else {
    platform::LocalTime today = app.clock->now();
    app.nextOrderNumber = FirstOrderNumberOfMonth(today.year, today.month);
  }
  app.parameters = MigrateOlderParameters({});
  AfterParametersRead(app);
  std::uint8_t bytes[store::kParameterFileSize];
  store::Store<std::uint32_t>(bytes, app.nextOrderNumber);
  std::memcpy(bytes + 4, &app.parameters, sizeof app.parameters);
  // A placeholder that cannot be rewritten is written by the next save.
  if (file.seek(0)) file.write(bytes, sizeof bytes);
}

// The older, shorter layout of the previous program. Its record files have
// the older layouts too, so the file is taken over only where the conversion
// of those files is at hand, and nothing is converted unless the parameter
// file was written back whole.
int MigrateParameterFile(AppState& app, platform::File& file, std::int64_t size) {
  if (!app.convertPreviousFormat) {
    Tell(app, "Die Datei " + app.path(store::kParameterFileName) +
                  " stammt von der vorigen Programmversion: die Daten in diesem Verzeichnis "
                  "müssen erst umgewandelt werden.\n\nEs wurde nichts verändert.");
    return 0;
  }
  // Bytes past the end of the file count as zero.
  std::vector<std::uint8_t> original(static_cast<std::size_t>(size));
  if (!file.seek(0) || !file.readExact(original.data(), original.size())) {
    Tell(app, UnreadableText(app, store::kParameterFileName));
    return 0;
  }
  std::vector<std::uint8_t> older(kOlderParameterRecordRead, 0);
  std::copy(original.begin() + 4, original.end(), older.begin());
  store::ParameterRecord migrated = MigrateOlderParameters(older);
  // Written back unchanged first: a parameter file that cannot be written is
  // no place to start converting the data files from.
  if (!file.seek(0) || !file.write(original.data(), original.size())) {
    Tell(app, "Die Datei " + app.path(store::kParameterFileName) +
                  " konnte nicht umgeschrieben werden; die Daten wurden nicht umgewandelt.");
    return 0;
  }
  app.nextOrderNumber = store::Load<std::uint32_t>(original.data());
  app.parameters = migrated;
  AfterParametersRead(app);
  // The record files first: the parameter file takes the current layout only
  // once all three are converted, so a start after a crash finds it older and
  // converts what is left. The conversion puts the new parameter file in
  // place itself, together with its last record files; its progress file
  // still being there means it did not get that far (the user was told).
  app.convertPreviousFormat(app);
  if (store::DataFileExists(app, store::kConversionProgressName)) return 0;
  platform::File now =
      store::OpenDataOnce(app, store::kParameterFileName, Access::Read, Share::DenyNone);
  if (now && now.size() > kOlderParameterFileMax) return 1;
  std::uint8_t bytes[store::kParameterFileSize];
  std::memcpy(bytes, original.data(), 4);
  std::memcpy(bytes + 4, &migrated, sizeof migrated);
  if (!file.seek(0) || !file.write(bytes, sizeof bytes)) {
    Tell(app, "Die Datei " + app.path(store::kParameterFileName) +
                  " konnte nicht umgeschrieben werden.");
    return 0;
  }
  return 1;
}

int ReadParameterFile(AppState& app) {
  platform::File file =
      store::OpenData(app, store::kParameterFileName, Access::Read, Share::Exclusive);
  if (!file) return 0;  // the reason was told, or the user gave up waiting
  std::int64_t size = file.size();
  if (size < 0) {
    Tell(app, UnreadableText(app, store::kParameterFileName));
    return 0;
  }
  if (size <= 4) {
    TakeOverPlaceholder(app, file, size);
    return 1;
  }
  if (size <= kOlderParameterFileMax) return MigrateParameterFile(app, file, size);
  // Never more than the layout holds, however large the file has grown.
  std::uint8_t bytes[store::kParameterFileSize] = {};
  std::size_t expected = static_cast<std::size_t>(
      std::min<std::int64_t>(size, static_cast<std::int64_t>(sizeof bytes)));
  if (!file.seek(0) || file.read(bytes, sizeof bytes) != expected) {
    Tell(app, UnreadableText(app, store::kParameterFileName));
    return 0;
  }
  app.nextOrderNumber = store::Load<std::uint32_t>(bytes);
  std::memcpy(&app.parameters, bytes + 4, sizeof app.parameters);
  AfterParametersRead(app);
  return 1;
}

// Only a missing parameter file is a first start; one that is there but
// cannot be read never lets the program go on with empty settings.
int LoadParameterFile(AppState& app) {
  switch (app.fileSystem->kind(app.path(store::kParameterFileName))) {
    case PathKind::Regular:
      return ReadParameterFile(app);
    case PathKind::NotRegular:
      Tell(app, store::OpenFailureText(app.path(store::kParameterFileName),
                                       platform::OpenFailure::NotRegular));
      return 0;
    case PathKind::Missing:
      break;
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
  return 1;
}

int CreateIfMissing(AppState& app, const char* name) {
  switch (app.fileSystem->kind(app.path(name))) {
    case PathKind::Regular:
      return 1;
    case PathKind::NotRegular:
      Tell(app, store::OpenFailureText(app.path(name), platform::OpenFailure::NotRegular));
      return 0;
    case PathKind::Missing:
      break;
  }
  store::OpenDataOnce(app, name, Access::Write, Share::Exclusive, Disposition::CreateAlways);
  return 1;
}

// Whether the record file of a pair whose index is missing holds records;
// when that cannot be told, it is taken to hold some.
bool HoldsRecords(AppState& app, const char* dataName) {
  if (app.fileSystem->kind(app.path(dataName)) == PathKind::Missing) return false;
  platform::File data = store::OpenDataOnce(app, dataName, Access::Read, Share::DenyNone);
  return !data || data.size() != 0;
}

// An index with its record file: read the header when the index exists. A
// missing index beside a record file that holds records is built again from
// it, if the user agrees, but the records are never thrown away; only when
// both are missing, or the record file is empty, is the pair created new,
// with the header of an empty index. A name that is there but is no regular
// file is refused, and nothing is created over it.
int OpenOrCreateIndex(AppState& app, const store::IndexLayout& layout, std::int32_t& lastIndex,
                      Share createShare) {
  const std::string indexPath = app.path(layout.indexName);
  switch (app.fileSystem->kind(indexPath)) {
    case PathKind::Regular: {
      platform::File index =
          store::OpenData(app, layout.indexName, Access::Read, Share::DenyWrite);
      if (!index) return 0;
      lastIndex = store::ReadLastIndex(layout, index);
      return 1;
    }
    case PathKind::NotRegular:
      Tell(app, store::OpenFailureText(indexPath, platform::OpenFailure::NotRegular));
      return 0;
    case PathKind::Missing:
      break;
  }
  if (app.fileSystem->kind(app.path(layout.dataName)) == PathKind::NotRegular) {
    Tell(app, store::OpenFailureText(app.path(layout.dataName), platform::OpenFailure::NotRegular));
    return 0;
  }
  if (HoldsRecords(app, layout.dataName)) return store::OfferIndexRebuild(app, layout, lastIndex);
  store::OpenDataOnce(app, layout.indexName, Access::Write, createShare, Disposition::CreateAlways);
  store::OpenDataOnce(app, layout.dataName, Access::Write, createShare, Disposition::CreateAlways);
  lastIndex = -1;
  platform::File index = store::OpenDataOnce(app, layout.indexName, Access::Write, Share::Exclusive);
  if (!index) return 1;  // a directory that does not exist: nothing to create in
  std::uint8_t header[4];
  store::Store<std::int32_t>(header, -1);
  index.write(header, layout.headerSize);
  return 1;
}

}  // namespace

int LoadParameters(AppState& app) {
  if (!store::FinishInterruptedReplacement(app) || !LoadParameterFile(app)) return 0;
  if (!store::FinishInterruptedArticleMove(app) || !store::FinishInterruptedAddressMove(app))
    return 0;
  if (!CreateIfMissing(app, store::kProductGroupFileName) ||
      !CreateIfMissing(app, store::kDiscountFileName) ||
      !OpenOrCreateIndex(app, store::kAddressLayout, app.addresses.lastIndex, Share::Exclusive) ||
      !OpenOrCreateIndex(app, store::kArticleLayout, app.articles.lastIndex, Share::Exclusive) ||
      !OpenOrCreateIndex(app, store::kOrderLayout, app.orders.lastIndex, Share::DenyWrite))
    return 0;
  tools::SearchAppointments(app);
  return 1;
}

}  // namespace frame
