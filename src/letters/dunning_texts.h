// The letter texts a new data directory starts with: a friendly reminder,
// a reminder and a last reminder, each naming the amount due and the date
// to pay by through the fields of a letter text (see FillLetterFields).
#ifndef BELVON_LETTERS_DUNNING_TEXTS_H
#define BELVON_LETTERS_DUNNING_TEXTS_H

#include <string>

#include "store/app_state.h"

namespace letters {

// The text of a level (1..3) as the editor holds it: Windows-1252, CR LF.
std::string DefaultDunningText(int level);

// Writes the three texts into the data directory under the names the
// first-start defaults give the levels. A file already there is the user's
// and stays as it is. False, with the file's name in `failed`, when one
// could not be written.
bool WriteDefaultDunningTexts(frame::AppState& app, std::string* failed);

}  // namespace letters

#endif  // BELVON_LETTERS_DUNNING_TEXTS_H
