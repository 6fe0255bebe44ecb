#include "frame/ui/profile.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace frame {

namespace {


const QString kGroup = QStringLiteral("BELVON");

}  // namespace

std::string ProfileDataDirectory() {
  QSettings profile(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("belvon"));
  profile.beginGroup(kGroup);
  if (!profile.contains(QStringLiteral("DATEIPFAD"))) {
    QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/belvon/";
    QDir().mkpath(folder);
    return folder.toStdString();
  }
  QString value = profile.value(QStringLiteral("DATEIPFAD")).toString();
  return value.left(kDataDirectoryProfileMax).toStdString();
}

void ReadProfile(AppState& app) {
  app.dataDirectory = ProfileDataDirectory();
  QSettings profile(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("belvon"));
  profile.beginGroup(kGroup);
  app.restrictedMode = profile.value(QStringLiteral("LIGHT"), 0).toInt();
  app.cashDeskMode = profile.value(QStringLiteral("KASSE"), 0).toInt();
}

void WriteProfileDataDirectory(const std::string& dataDirectory) {
  QSettings profile(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("belvon"));
  profile.beginGroup(kGroup);
  profile.setValue(QStringLiteral("DATEIPFAD"), QString::fromStdString(dataDirectory));
}

void WriteProfileCashDesk(int cashDesk) {
  QSettings profile(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("belvon"));
  profile.beginGroup(kGroup);
  profile.setValue(QStringLiteral("KASSE"), QString::asprintf("%d", cashDesk));
}

}  // namespace frame
