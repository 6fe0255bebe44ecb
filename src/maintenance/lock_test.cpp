#include "maintenance/lock_test.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/user_interface.h"
#include "store/data_file.h"

namespace maintenance {

using platform::Access;
using platform::Disposition;
using platform::Share;

bool LocksWork(frame::AppState& app) {
  const std::string probe = app.path(kLockProbeName);
  bool work = true;
  {
    platform::File first =
        app.fileSystem->open(probe, Access::ReadWrite, Share::Exclusive, Disposition::CreateAlways);
    if (first) {
      platform::File second = app.fileSystem->open(probe, Access::ReadWrite, Share::Exclusive);
      work = !second;
    }
  }
  app.fileSystem->remove(probe);
  return work;
}

std::string LockIgnoringMountOption(const std::string& directory) {
  std::error_code error;
  std::string path = std::filesystem::weakly_canonical(directory.empty() ? "." : directory, error);
  std::ifstream mounts("/proc/self/mountinfo");
  std::string line, best, option;
  for (std::size_t bestLength = 0; std::getline(mounts, line);) {
    // id parent major:minor root mountpoint options ... - type source superoptions
    std::istringstream fields(line);
    std::string id, parent, device, root, point, options, word, superOptions;
    fields >> id >> parent >> device >> root >> point >> options;
    while (fields >> word && word != "-") {
    }
    fields >> word >> word >> superOptions;
    const bool under = path == point || path.rfind(point == "/" ? point : point + "/", 0) == 0;
    if (!under || point.size() < bestLength) continue;
    bestLength = point.size();
    option.clear();
    std::istringstream all(options + "," + superOptions);
    for (std::string o; std::getline(all, o, ',');)
      if (o == "nobrl" || o == "nolock" || o.rfind("local_lock=", 0) == 0) option = o;
  }
  return option;
}

std::string LockWarningText(const std::string& directory, const std::string& mountOption) {
  std::string text = "Im Datenverzeichnis " + directory +
                     " wirken keine Dateisperren: mehrere Arbeitsplätze, die gleichzeitig "
                     "damit arbeiten, können sich gegenseitig Daten überschreiben.\n\n";
  if (!mountOption.empty())
    text += "Das Verzeichnis ist mit der Option \"" + mountOption + "\" eingebunden. ";
  return text +
         "Bitte das Netzlaufwerk ohne \"nobrl\" (SMB/CIFS) bzw. ohne \"nolock\" (NFS) "
         "einbinden, oder nur an einem Arbeitsplatz mit diesen Daten arbeiten.";
}

bool CheckLocks(frame::AppState& app) {
  if (LocksWork(app)) return true;
  const std::string directory = app.dataDirectory.empty() ? "." : app.dataDirectory;
  if (app.ui)
    app.ui->message(LockWarningText(directory, LockIgnoringMountOption(directory)),
                    frame::Icon::Exclamation);
  return false;
}

}  // namespace maintenance
