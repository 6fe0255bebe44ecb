// Our own German help pages, one per dialog, opened at a context number.
#ifndef BELVON_WIDGETS_HELP_VIEWER_H
#define BELVON_WIDGETS_HELP_VIEWER_H

#include <QString>
#include <QWidget>

namespace frame {

// The page of a context ("qrc:/help/kontext_6.html"); the overview when the
// context has no page of its own.
QString HelpPage(int context);

// Opens (or raises) the help window at the context.
void ShowHelp(QWidget* parent, int context);

}  // namespace frame

#endif  // BELVON_WIDGETS_HELP_VIEWER_H
