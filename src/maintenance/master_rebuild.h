// Rebuilding the article or the address file from its index into a fresh,
// compact pair, with every reference to a moved record rewritten: the
// product groups, the discounts and the orders. The same run converts a
// file of the previous record format.
//
// Everything is built in memory and written under temporary names; the old
// files are replaced in one step (store/file_replacement.h) only when all
// new files are on the disk, so a crash at any point leaves the old files or
// the new ones, and never a pair whose references disagree.
#ifndef BELVON_MAINTENANCE_MASTER_REBUILD_H
#define BELVON_MAINTENANCE_MASTER_REBUILD_H

#include <functional>

#include "store/app_state.h"
#include "maintenance/file_images.h"

namespace maintenance {

struct MasterRebuild {
  const store::IndexLayout* layout;
  const char* temporaryIndex;  // "A.IDX", "K.IDX"
  const char* temporaryData;   // "A.DAT", "K.DAT"
  std::size_t readSize;        // at most this much of a record is read
  // Turns the bytes read (readSize, zero behind the stored length) into the
  // record written (layout->recordSize); none: they are the record.
  std::function<void(const Bytes& read, Bytes& record)> convert;
  OrderFraming orders;  // the layout the order file has meanwhile
  // Further files replaced in the same step (the progress of a conversion).
  std::function<bool(Replacement&)> alsoReplace;
};

MasterRebuild ArticleRebuild();
MasterRebuild AddressRebuild();

// The rebuild without a question; 1 when the new files were committed.
int RebuildMasterFile(frame::AppState& app, const MasterRebuild& rebuild);

// The menu commands: ask, then rebuild.
int ReorganiseArticles(frame::AppState& app);
int ReorganiseAddresses(frame::AppState& app);

}  // namespace maintenance

#endif  // BELVON_MAINTENANCE_MASTER_REBUILD_H
