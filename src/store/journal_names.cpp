#include "store/journal_names.h"

#include "store/data_file.h"

namespace store {

bool PlainFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name)
    if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) return false;
  return true;
}

bool JournalMayName(const frame::AppState& app, std::string_view name) {
  if (!PlainFileName(name)) return false;
  const std::string path = app.path(std::string(name).c_str());
  return !app.fileSystem->linkLeaves(path, DataFolder(app));
}

std::string RefusedJournalText(const std::string& journalPath, const std::string& why) {
  return "Die Datei " + journalPath + " wird nicht ausgeführt: " + why +
         "\nEs wurde nichts verändert. Bitte die Datei prüfen und entfernen (oder die "
         "Datensicherung zurückspielen).";
}

}  // namespace store
