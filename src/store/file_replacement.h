// Replacing several data files at once so that a crash, a full disk or a
// power cut at any moment leaves either all the old files or all the new
// ones, never a mixture.
//
// The new files are written completely under temporary names and flushed
// first. Then a journal naming every swap is written, flushed and put in
// place by a rename: from that moment the new files are the valid ones. The
// swaps follow (renames and removals), and the journal is removed last. A
// start that finds the journal finishes the swaps it names; temporary files
// without a journal are the remains of a run that never committed and are
// simply written over by the next one.
#ifndef BELVON_STORE_FILE_REPLACEMENT_H
#define BELVON_STORE_FILE_REPLACEMENT_H

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "store/app_state.h"

namespace store {

inline constexpr const char* kReplacementJournalName = "TAUSCH.JNL";
// Present while the record files of the previous format are being converted;
// says which of them are done. The last conversion removes it in the same
// replacement that puts the parameter file of the current layout in place.
inline constexpr const char* kConversionProgressName = "UMSTELL.DAT";

// `from` takes the name `to`; with `to` empty, `from` is removed.
struct FileSwap {
  std::string from;
  std::string to;
};

// Writes DataDirectory + name anew (created new, see CreateDataTemporary)
// with `bytes`, flushed to the disk and closed; false (the file may be left
// half written) when anything failed.
bool WriteWholeFile(frame::AppState& app, const std::string& name,
                    std::span<const std::uint8_t> bytes);

// Commits the swaps. 0: the journal could not be written, nothing was
// replaced. 1: committed; the swaps are done, or (when one failed, which the
// user is told) the next start does them.
int ReplaceFiles(frame::AppState& app, const std::vector<FileSwap>& swaps);

// Run first at every start: finishes the swaps of a journal left behind by an
// interrupted run. 1 when nothing is pending any more (or another copy of the
// program is committing right now), 0 when they could not be finished (told).
int FinishInterruptedReplacement(frame::AppState& app);

}  // namespace store

#endif  // BELVON_STORE_FILE_REPLACEMENT_H
