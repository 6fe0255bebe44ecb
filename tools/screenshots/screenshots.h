// The picture taker's shared pieces: the target folder and saving a widget.
#ifndef BELVON_TOOLS_SCREENSHOTS_H
#define BELVON_TOOLS_SCREENSHOTS_H

#include <QString>
#include <QWidget>

namespace screenshots {

extern QString folder;

// Shows the widget at its natural size and saves it as <name>.png.
void Save(QWidget& widget, const QString& name);

// The address pane and its dialogs (kept apart: its headers and the article
// dialogs' headers do not go into one file together).
void AddressPane();
void OrderPane();
void PictureWindow();
void CashDesk();

}  // namespace screenshots

#endif  // BELVON_TOOLS_SCREENSHOTS_H
