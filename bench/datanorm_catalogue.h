// A generated Datanorm catalogue of an electrical wholesaler: A and B
// records, code page 850 umlauts, realistic field lengths, the numbers in
// random order. Article `id` has the number letter ('A' + id % 26) and seven
// digits (id * 7 % 10 000 000).
#ifndef BELVON_BENCH_DATANORM_CATALOGUE_H
#define BELVON_BENCH_DATANORM_CATALOGUE_H

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

// Words of electrical wholesale catalogues, umlauts in code page 850
// (\x84 ä, \x94 ö, \x81 ü, \xe1 ß, \x8e Ä, \x99 Ö, \x9a Ü).
const char* const kWords[] = {"Kabel",        "Mantelleitung", "Schalter",  "Steckdose", "Abzweigdose",
                              "Verteiler",    "Leuchte",       "Schraube",  "D\x81""bel", "Kabelbinder",
                              "Geh\x84use",   "Sicherung",     "Klemme",    "Rohr",      "Bogen",
                              "Stra\xe1""e",  "\x99lfest",     "wei\xe1",   "grau",      "schwarz",
                              "Aufputz",      "Unterputz",     "\x9a""ber", "NYM-J",     "3x1,5",
                              "5x2,5",        "IP44",          "16A",       "230V",      "Fehlerstrom"};
const char* const kUnits[] = {"m", "St", "Pak", "Rol", "kg"};

std::string Words(std::mt19937& random, std::size_t width) {
  std::string text;
  while (text.size() < width) {
    if (!text.empty()) text += ' ';
    text += kWords[random() % std::size(kWords)];
  }
  return text.substr(0, width);
}

// Writes the catalogue without holding it in memory.
void WriteCatalogue(const std::string& path, int count, const char* code) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  std::fprintf(out, "V 070524%-40s%-40s%-35s04EUR\r\n", "Elektro-Gro\xe1handel S\x81""d GmbH",
               "Gesamtkatalog 2024", "Tel. 0711 123456-0");
  std::vector<int> ids(count);
  std::iota(ids.begin(), ids.end(), 0);
  std::mt19937 random(42);
  std::shuffle(ids.begin(), ids.end(), random);
  for (int id : ids) {
    char number[16];
    std::snprintf(number, sizeof number, "%c%07d", 'A' + id % 26, id * 7 % 10000000 + id / 10000000);
    std::fprintf(out, "A;%s;%s;00;%s;%s;%d;1;%s;%u;%02u;%03u;;\r\n", code, number,
                 Words(random, 20 + random() % 21).c_str(), Words(random, 15 + random() % 26).c_str(),
                 random() % 4 == 0 ? 2 : 1, kUnits[random() % std::size(kUnits)],
                 static_cast<unsigned>(random() % 500000), static_cast<unsigned>(random() % 40),
                 static_cast<unsigned>(random() % 1000));
    std::fprintf(out, "B;%s;%s;%s;;;0;0;0;40%011u;;%s;0;1;;;\r\n", code, number,
                 Words(random, 10 + random() % 6).c_str(), static_cast<unsigned>(random() % 100000000000ull),
                 Words(random, 8).c_str());
  }
  std::fclose(out);
}

}  // namespace

#endif  // BELVON_BENCH_DATANORM_CATALOGUE_H
