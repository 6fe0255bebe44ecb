// The rules the folders of src/ keep: the floors of src/layers.txt, no
// folder cycle, and Qt only in ui/, widgets/, app/ and cli/.
#ifndef BELVON_TESTS_LAYERING_INCLUDE_RULES_H
#define BELVON_TESTS_LAYERING_INCLUDE_RULES_H

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace layering {

// Folder (relative to src/) -> floor, counted from 0 at the bottom.
using Floors = std::map<std::string, int>;
Floors ReadFloors(std::string_view layersText);

struct SourceFile {
  std::string path;  // relative to src/, "orders/ui/rechnung_pane.cpp"
  std::string text;
};

// Every broken rule, one line each; empty when the sources keep them all.
std::vector<std::string> IncludeFaults(const Floors& floors, const std::vector<SourceFile>& files);

// Every .h and .cpp below `srcDir`.
std::vector<SourceFile> ReadSources(const std::string& srcDir);

}  // namespace layering

#endif  // BELVON_TESTS_LAYERING_INCLUDE_RULES_H
