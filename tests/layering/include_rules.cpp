#include "layering/include_rules.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

namespace layering {

namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool MayUseQt(const std::string& folder) {
  const std::string top = folder.substr(0, folder.find('/'));
  return top == "widgets" || top == "app" || top == "cli" || folder.ends_with("/ui") ||
         folder == "ui";
}

struct Include {
  int line;
  std::string target;  // the quoted path, or the <name> of a system header
  bool quoted;
};

std::vector<Include> IncludesOf(const std::string& text) {
  std::vector<Include> found;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    std::size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos || line[at] != '#') continue;
    at = line.find_first_not_of(" \t", at + 1);
    if (at == std::string::npos || line.compare(at, 7, "include") != 0) continue;
    const std::size_t open = line.find_first_of("\"<", at + 7);
    if (open == std::string::npos) continue;
    const std::size_t close = line.find(line[open] == '"' ? '"' : '>', open + 1);
    if (close == std::string::npos) continue;
    found.push_back({number, line.substr(open + 1, close - open - 1), line[open] == '"'});
  }
  return found;
}

bool IsQtHeader(const std::string& name) {
  return name.size() > 1 && name[0] == 'Q' &&
         (std::isupper(static_cast<unsigned char>(name[1])) || name.starts_with("Qt"));
}

}  // namespace

Floors ReadFloors(std::string_view layersText) {
  Floors floors;
  std::istringstream lines{std::string(layersText)};
  std::string line;
  int floor = 0;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string folder;
    bool any = false;
    while (words >> folder) {
      floors[folder] = floor;
      any = true;
    }
    if (any) ++floor;
  }
  return floors;
}

std::vector<std::string> IncludeFaults(const Floors& floors, const std::vector<SourceFile>& files) {
  std::vector<std::string> faults;
  std::map<std::string, std::set<std::string>> uses;  // folder -> folders it includes from
  for (const SourceFile& file : files) {
    const std::string folder = FolderOf(file.path);
    const auto own = floors.find(folder);
    if (own == floors.end()) {
      faults.push_back(file.path + ": the folder " + folder + " has no floor in layers.txt");
      continue;
    }
    for (const Include& include : IncludesOf(file.text)) {
      const std::string where = file.path + ":" + std::to_string(include.line) + ": ";
      if (!include.quoted) {
        if (IsQtHeader(include.target) && !MayUseQt(folder))
          faults.push_back(where + "<" + include.target + "> is Qt, outside ui/, widgets/, app/, cli/");
        continue;
      }
      const std::string target = FolderOf(include.target);
      if (target == folder) continue;
      const auto other = floors.find(target);
      if (other == floors.end()) {
        faults.push_back(where + include.target + " lies in no floor of layers.txt");
        continue;
      }
      if (other->second > own->second)
        faults.push_back(where + include.target + " stands above " + folder);
      uses[folder].insert(target);
    }
  }
  // A cycle among the folders, found by a depth-first walk.
  std::map<std::string, int> state;  // 1 on the path, 2 done
  std::vector<std::string> path;
  std::function<bool(const std::string&)> walk = [&](const std::string& folder) {
    state[folder] = 1;
    path.push_back(folder);
    for (const std::string& next : uses[folder]) {
      if (state[next] == 1) {
        std::string cycle;
        for (auto it = std::find(path.begin(), path.end(), next); it != path.end(); ++it)
          cycle += *it + " -> ";
        faults.push_back("folder cycle: " + cycle + next);
        return true;
      }
      if (state[next] == 0 && walk(next)) return true;
    }
    path.pop_back();
    state[folder] = 2;
    return false;
  };
  for (const auto& [folder, targets] : std::map(uses))
    if (state[folder] == 0 && walk(folder)) break;
  return faults;
}

std::vector<SourceFile> ReadSources(const std::string& srcDir) {
  std::vector<SourceFile> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(srcDir)) {
    const std::string extension = entry.path().extension().string();
    if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    files.push_back({std::filesystem::relative(entry.path(), srcDir).generic_string(), text.str()});
  }
  std::sort(files.begin(), files.end(),
            [](const SourceFile& a, const SourceFile& b) { return a.path < b.path; });
  return files;
}

}  // namespace layering
