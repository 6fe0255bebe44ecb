#include "store/file_replacement.h"

#include <optional>
#include <sstream>

#include "core/user_interface.h"
#include "store/data_file.h"
#include "store/journal_names.h"

namespace store {

namespace {

using platform::Access;
using platform::Disposition;
using platform::Share;

constexpr const char* kJournalHeading = "BELVON-TAUSCH";
constexpr const char* kJournalEnd = "ENDE";
constexpr const char* kJournalDraftName = "TAUSCH.NEU";

std::string JournalText(const std::vector<FileSwap>& swaps) {
  std::string text = std::string(kJournalHeading) + "\n";
  for (const FileSwap& swap : swaps)
    text += swap.from + "\t" + (swap.to.empty() ? "-" : swap.to) + "\n";
  return text + kJournalEnd + "\n";
}

bool ParseJournal(const std::string& text, std::vector<FileSwap>& swaps) {
  std::istringstream lines(text);
  std::string line;
  if (!std::getline(lines, line) || line != kJournalHeading) return false;
  while (std::getline(lines, line)) {
    if (line == kJournalEnd) return true;
    std::size_t tab = line.find('\t');
    if (tab == std::string::npos) return false;
    FileSwap swap{line.substr(0, tab), line.substr(tab + 1)};
    if (swap.to == "-") swap.to.clear();
    swaps.push_back(swap);
  }
  return false;
}

// Each swap may have been done already by the interrupted run: a temporary
// file that is gone was renamed (or removed) before.
bool DoSwaps(frame::AppState& app, const std::vector<FileSwap>& swaps) {
  platform::FileSystem& fs = *app.fileSystem;
  for (const FileSwap& swap : swaps) {
    const std::string from = app.path(swap.from.c_str());
    if (fs.kind(from) == platform::PathKind::Missing) continue;
    bool done = swap.to.empty() ? fs.remove(from) : fs.rename(from, app.path(swap.to.c_str()));
    if (!done) return false;
  }
  return fs.syncDirectory(DataFolder(app));
}

bool ForgetJournal(frame::AppState& app) {
  return app.fileSystem->remove(app.path(kReplacementJournalName)) &&
         app.fileSystem->syncDirectory(DataFolder(app));
}

void Tell(frame::AppState& app, const std::string& text) {
  if (app.ui) app.ui->message(text, frame::Icon::Stop);
}

// The first name of the journal that it must not name (it may be empty);
// none when every swap stays inside the data directory.
std::optional<std::string> ForeignName(const frame::AppState& app,
                                       const std::vector<FileSwap>& swaps) {
  for (const FileSwap& swap : swaps) {
    if (!JournalMayName(app, swap.from)) return swap.from;
    if (!swap.to.empty() && !JournalMayName(app, swap.to)) return swap.to;
  }
  return std::nullopt;
}

}  // namespace

bool WriteWholeFile(frame::AppState& app, const std::string& name,
                    std::span<const std::uint8_t> bytes) {
  platform::File file = CreateDataTemporary(app, name.c_str());
  return file && (bytes.empty() || file.write(bytes.data(), bytes.size())) && file.sync();
}

int ReplaceFiles(frame::AppState& app, const std::vector<FileSwap>& swaps) {
  const std::string text = JournalText(swaps);
  // Held (locked) until the swaps are done, so that another copy starting
  // meanwhile leaves them to us.
  platform::File journal = CreateDataTemporary(app, kJournalDraftName);
  if (!journal || !journal.write(text.data(), text.size()) || !journal.sync() ||
      !app.fileSystem->rename(app.path(kJournalDraftName), app.path(kReplacementJournalName)) ||
      !app.fileSystem->syncDirectory(DataFolder(app))) {
    journal.close();
    app.fileSystem->remove(app.path(kJournalDraftName));
    // A journal that reached its name (only its directory entry failed to
    // flush) is valid: finish it rather than leave it for the next start.
    if (app.fileSystem->kind(app.path(kReplacementJournalName)) == platform::PathKind::Missing)
      return 0;
  }
  if (!DoSwaps(app, swaps) || !ForgetJournal(app))
    Tell(app,
         "Die neuen Dateien konnten noch nicht alle an ihren Platz gebracht werden; "
         "das geschieht beim nächsten Programmstart.");
  return 1;
}

int FinishInterruptedReplacement(frame::AppState& app) {
  const std::string path = app.path(kReplacementJournalName);
  if (app.fileSystem->kind(path) == platform::PathKind::Missing) return 1;
  if (app.fileSystem->linkLeaves(path, DataFolder(app))) {
    Tell(app, OpenFailureText(path, platform::OpenFailure::LinkOutside));
    return 0;
  }
  platform::OpenFailure why = platform::OpenFailure::None;
  platform::File journal = app.fileSystem->open(path, Access::ReadWrite, Share::Exclusive,
                                                Disposition::OpenExisting, &why);
  if (!journal) {
    if (why == platform::OpenFailure::Busy) return 1;  // another copy commits right now
    Tell(app, OpenFailureText(path, why));
    return 0;
  }
  std::string text(static_cast<std::size_t>(std::max<std::int64_t>(journal.size(), 0)), '\0');
  std::vector<FileSwap> swaps;
  const bool parsed =
      journal.read(text.data(), text.size()) == text.size() && ParseJournal(text, swaps);
  // Every name is checked before the first swap: a journal that names one
  // file outside the directory is not carried out in part either.
  if (const auto foreign = parsed ? ForeignName(app, swaps) : std::nullopt; foreign) {
    Tell(app, RefusedJournalText(path, "sie nennt \"" + *foreign +
                                           "\", das ist keine Datei des Datenverzeichnisses."));
    return 0;
  }
  if (!parsed || !DoSwaps(app, swaps)) {
    Tell(app, "Eine unterbrochene Reorganisation konnte nicht abgeschlossen werden (" + path +
                  ").\nBitte die Datensicherung zurückspielen.");
    return 0;
  }
  journal.close();
  return ForgetJournal(app) ? 1 : 0;
}

}  // namespace store
