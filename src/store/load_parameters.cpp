#include "store/load_parameters.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "store/parameter_file.h"
#include "core/user_interface.h"
#include "store/bytes.h"
#include "store/address_file.h"
#include "store/article_file.h"
#include "store/data_file.h"
#include "store/figure_style_file.h"
#include "store/file_replacement.h"
#include "store/index_rebuild.h"
#include "store/indexed_file.h"

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
  // What a save compares with: the record as it came from the file.
  app.storedParameters = app.parameters;
  app.parameters.exchangeRates[0] = 1.0f;
  app.fourthCurrencyPrint = app.parameters.fourthCurrencyPrint;
}

// What stands under the name. A name that is no regular file (a FIFO, a
// directory), or a link leading out of the data folder, is named to the user
// and counts as NotRegular: nothing is read from it or created over it.
PathKind KindOfDataFile(AppState& app, const char* name) {
  const std::string path = app.path(name);
  const PathKind kind = app.fileSystem->kind(path);
  platform::OpenFailure why = platform::OpenFailure::NotRegular;
  if (kind == PathKind::Missing) return kind;
  if (kind == PathKind::Regular) {
    if (!app.fileSystem->linkLeaves(path, store::DataFolder(app))) return kind;
    why = platform::OpenFailure::LinkOutside;
  }
  Tell(app, store::OpenFailureText(path, why));
  return PathKind::NotRegular;
}

std::string UnreadableText(const AppState& app, const char* name) {
  return "Die Datei " + app.path(name) + " kann nicht gelesen werden.";
}

// Whether a record file holds records;
// when that cannot be told, it is taken to hold some.
bool HoldsRecords(AppState& app, const char* dataName) {
  if (app.fileSystem->kind(app.path(dataName)) == PathKind::Missing) return false;
  platform::File data = store::OpenDataOnce(app, dataName, Access::Read, Share::DenyNone);
  return !data || data.size() != 0;
}

// A parameter file that is missing, or holds no order number, beside
// records of an earlier run is no first start: taken for one, it would
// begin the numbering anew and leave every setting empty.
int RefuseLostParameters(AppState& app, const char* what) {
  Tell(app, "Die Datei " + app.path(store::kParameterFileName) + " " + what +
                ", im Datenverzeichnis liegen aber schon Daten: ohne sie begännen die "
                "Rechnungsnummern von vorn und alle Einstellungen wären leer.\n"
                "Bitte die Datei aus der Datensicherung zurückspielen.\n\n"
                "Es wurde nichts verändert.");
  return 0;
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
  // Orders are only ever stored with the whole record in the file, so a
  // file without its number beside orders was emptied or cut.
  if (size < 4 && HoldsRecords(app, store::kOrderDataName))
    return RefuseLostParameters(app, "ist leer");
  if (size <= 4) {
    TakeOverPlaceholder(app, file, size);
    return 1;
  }
  // Never more than the layout holds, however large the file has grown.
  std::uint8_t bytes[store::kParameterFileSize] = {};
  std::size_t expected = static_cast<std::size_t>(
      std::min<std::int64_t>(size, static_cast<std::int64_t>(sizeof bytes)));
  if (!file.seek(0) || file.read(bytes, sizeof bytes) != expected) {
    Tell(app, UnreadableText(app, store::kParameterFileName));
    return 0;
  }
  switch (RecogniseParameterLayout(std::span<const std::uint8_t>(bytes, expected), size)) {
    case ParameterLayout::Older:
      return MigrateParameterFile(app, file, size);
    case ParameterLayout::Unknown:
      Tell(app, "Die Datei " + app.path(store::kParameterFileName) +
                    " hat weder den Aufbau dieser noch den der vorigen Programmversion; sie ist "
                    "wohl abgeschnitten oder beschädigt.\n"
                    "Bitte die Datei aus der Datensicherung zurückspielen.\n\n"
                    "Es wurde nichts verändert.");
      return 0;
    default:
      break;
  }
  app.nextOrderNumber = store::Load<std::uint32_t>(bytes);
  std::memcpy(&app.parameters, bytes + 4, sizeof app.parameters);
  AfterParametersRead(app);
  return 1;
}

// Only a missing parameter file is a first start; one that is there but
// cannot be read never lets the program go on with empty settings.
int LoadParameterFile(AppState& app) {
  switch (KindOfDataFile(app, store::kParameterFileName)) {
    case PathKind::Regular:
      return ReadParameterFile(app);
    case PathKind::NotRegular:
      return 0;
    case PathKind::Missing:
      break;
  }
  // A first start leaves the file behind at once, so records without it
  // come from a directory whose parameter file was lost.
  if (HoldsRecords(app, store::kArticleDataName) || HoldsRecords(app, store::kAddressDataName) ||
      HoldsRecords(app, store::kOrderDataName))
    return RefuseLostParameters(app, "fehlt");
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
  switch (KindOfDataFile(app, name)) {
    case PathKind::Regular:
      return 1;
    case PathKind::NotRegular:
      return 0;
    case PathKind::Missing:
      break;
  }
  store::OpenDataOnce(app, name, Access::Write, Share::Exclusive, Disposition::CreateAlways);
  return 1;
}

// An index with its record file: read the header when the index exists. A
// missing index beside a record file that holds records is built again from
// it, if the user agrees, but the records are never thrown away; only when
// both are missing, or the record file is empty, is the pair created new,
// with the header of an empty index. A name that is there but is no regular
// file is refused, and nothing is created over it.
int OpenOrCreateIndex(AppState& app, const store::IndexLayout& layout, std::int32_t& lastIndex,
                      Share createShare) {
  switch (KindOfDataFile(app, layout.indexName)) {
    case PathKind::Regular: {
      // The records beside the index must be readable as well: a pipe there
      // would only be found by the first command that reads an address.
      if (KindOfDataFile(app, layout.dataName) == PathKind::NotRegular) return 0;
      platform::File index =
          store::OpenData(app, layout.indexName, Access::Read, Share::DenyWrite);
      if (!index) return 0;
      lastIndex = store::ReadLastIndex(layout, index);
      return 1;
    }
    case PathKind::NotRegular:
      return 0;
    case PathKind::Missing:
      break;
  }
  if (KindOfDataFile(app, layout.dataName) == PathKind::NotRegular) return 0;
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
  app.figures = store::LoadFigureStyle(app);
  if (!store::FinishInterruptedArticleMove(app) || !store::FinishInterruptedAddressMove(app))
    return 0;
  if (!CreateIfMissing(app, store::kProductGroupFileName) ||
      !CreateIfMissing(app, store::kDiscountFileName) ||
      !OpenOrCreateIndex(app, store::kAddressLayout, app.addresses.lastIndex, Share::Exclusive) ||
      !OpenOrCreateIndex(app, store::kArticleLayout, app.articles.lastIndex, Share::Exclusive) ||
      !OpenOrCreateIndex(app, store::kOrderLayout, app.orders.lastIndex, Share::DenyWrite))
    return 0;
  // A book that cannot be completed now (a directory without write access)
  // is completed by a later start; `check` names what it lacks meanwhile.
  if (app.completeIssueBook) app.completeIssueBook(app);
  if (app.searchAppointments) app.searchAppointments(app);
  return 1;
}

}  // namespace frame
