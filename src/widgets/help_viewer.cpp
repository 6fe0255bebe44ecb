#include "widgets/help_viewer.h"

#include <QDialog>
#include <QFile>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

// The pages are compiled into the program; a static library needs to be
// told to keep them.
static void InitHelpResources() { Q_INIT_RESOURCE(help); }

namespace frame {

QString HelpPage(int context) {
  static const bool loaded = (InitHelpResources(), true);
  (void)loaded;
  QString page = QStringLiteral(":/help/kontext_%1.html").arg(context);
  if (!QFile::exists(page)) page = QStringLiteral(":/help/kontext_1.html");
  return page;
}

void ShowHelp(QWidget* parent, int context) {
  static QPointer<QDialog> window;
  if (!window) {
    window = new QDialog(parent ? parent->window() : nullptr);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QStringLiteral("Belvon - Hilfe"));
    window->resize(640, 560);
    auto* layout = new QVBoxLayout(window);
    auto* browser = new QTextBrowser(window);
    browser->setObjectName(QStringLiteral("helpBrowser"));
    browser->setOpenLinks(true);
    layout->addWidget(browser);
  }
  auto* browser = window->findChild<QTextBrowser*>(QStringLiteral("helpBrowser"));
  browser->setSource(QUrl(QStringLiteral("qrc") + HelpPage(context)));
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace frame
