#include "letters/dunning_texts.h"

#include <algorithm>

#include "letters/letter_text.h"
#include "platform/cp1252.h"
#include "store/first_start_defaults.h"

namespace letters {

namespace {

// UTF-8 here for reading; the files hold Windows-1252 like every text the
// editor saves.
constexpr const char* kTexts[] = {
    "Sehr geehrte Damen und Herren,\n"
    "\n"
    "sicher ist es Ihrer Aufmerksamkeit entgangen: Unsere Rechnung Nr. {Rechnung} war am "
    "{Fällig am} fällig, und bis heute konnten wir keinen Zahlungseingang feststellen.\n"
    "\n"
    "Bitte überweisen Sie den offenen Betrag von {Betrag} bis zum {Zahlbar bis}. Sollten Sie "
    "die Zahlung inzwischen veranlasst haben, betrachten Sie dieses Schreiben bitte als "
    "gegenstandslos.\n",

    "Sehr geehrte Damen und Herren,\n"
    "\n"
    "leider ist auf unsere Zahlungserinnerung bisher keine Zahlung für die Rechnung Nr. "
    "{Rechnung}, fällig am {Fällig am}, eingegangen.\n"
    "\n"
    "Bitte überweisen Sie den Betrag von {Betrag} bis spätestens zum {Zahlbar bis}.\n",

    "Sehr geehrte Damen und Herren,\n"
    "\n"
    "trotz Zahlungserinnerung und Mahnung ist unsere Rechnung Nr. {Rechnung}, fällig am "
    "{Fällig am}, noch immer nicht bezahlt.\n"
    "\n"
    "Wir fordern Sie letztmalig auf, den Betrag von {Betrag} bis zum {Zahlbar bis} zu "
    "überweisen. Geht die Zahlung bis dahin nicht ein, übergeben wir die Forderung ohne "
    "weitere Ankündigung dem gerichtlichen Mahnverfahren.\n"};

}  // namespace

std::string DefaultDunningText(int level) {
  std::string text;
  for (char c : platform::Utf8ToCp1252(kTexts[std::clamp(level, 1, 3) - 1])) {
    if (c == '\n') text += '\r';
    text += c;
  }
  return text;
}

bool WriteDefaultDunningTexts(frame::AppState& app, std::string* failed) {
  for (int level = 1; level <= 3; ++level) {
    const std::string path = app.dataDirectory + frame::kDefaultDunningTextNames[level - 1];
    if (app.fileSystem->kind(path) != platform::PathKind::Missing) continue;
    if (!SaveLetterText(*app.fileSystem, path, DefaultDunningText(level))) {
      if (failed) *failed = frame::kDefaultDunningTextNames[level - 1];
      return false;
    }
  }
  return true;
}

}  // namespace letters
