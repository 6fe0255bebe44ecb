// The "…" button beside a file name field, and the file chooser it opens.
#ifndef BELVON_WIDGETS_FILE_CHOOSER_H
#define BELVON_WIDGETS_FILE_CHOOSER_H

#include <QString>

class QLineEdit;
class QWidget;

namespace frame {

// A file name field with a "…" button beside it that opens the file chooser
// in the folder of the name typed and puts the chosen path into the field.
// `save` asks for a file to write. The button's object name is "choose".
enum class FileChoice { Open, Save };
QWidget* WithFileChooser(QLineEdit* field, FileChoice choice, const QString& filter = {});

}  // namespace frame

#endif  // BELVON_WIDGETS_FILE_CHOOSER_H
