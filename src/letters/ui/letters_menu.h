// The letter commands of the main menu: "&Mahnungen drucken..." (142),
// "C6-&Umschlag drucken" (141), "Paketaufkleber drucken" (2206) and
// "&Texteditor..." (103).
#ifndef BELVON_LETTERS_UI_LETTERS_MENU_H
#define BELVON_LETTERS_UI_LETTERS_MENU_H

namespace frame {
class FrameWindow;
}

namespace letters {

void InstallLetterCommands(frame::FrameWindow& window);

}  // namespace letters

#endif  // BELVON_LETTERS_UI_LETTERS_MENU_H
