#include "widgets/profile.h"

#include <QDir>
#include <QFileInfo>
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

bool SettleDataDirectory(std::string& path, UserInterface* ui) {
  if (path.empty()) return true;  // the current directory
  const QString named = QString::fromStdString(path);
  if (QFileInfo(named).isDir()) {
    if (path.back() != '/') path += '/';
    return true;
  }
  if (path.back() != '/' && QFileInfo::exists(named + QStringLiteral("BELVON.PAR"))) return true;
  const std::string shown = QDir::toNativeSeparators(named).toStdString();
  if (!ui || !ui->question("Das Datenverzeichnis\n" + shown +
                               "\nexistiert nicht.\n\nSoll es angelegt werden?",
                           Icon::Question, false))
    return false;
  if (QFileInfo::exists(named) || !QDir().mkpath(named)) {
    ui->message("Das Datenverzeichnis\n" + shown + "\nkonnte nicht angelegt werden.", Icon::Stop);
    return false;
  }
  if (path.back() != '/') path += '/';
  return true;
}

void WriteProfileCashDesk(int cashDesk) {
  QSettings profile(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("belvon"));
  profile.beginGroup(kGroup);
  profile.setValue(QStringLiteral("KASSE"), QString::asprintf("%d", cashDesk));
}

bool ReadProfileChoice(const char* key, bool fallback) {
  QSettings profile(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("belvon"));
  profile.beginGroup(kGroup);
  const QVariant value = profile.value(QString::fromLatin1(key));
  return value.isValid() ? value.toString().trimmed() == QStringLiteral("1") : fallback;
}

void WriteProfileChoice(const char* key, bool value) {
  QSettings profile(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("belvon"));
  profile.beginGroup(kGroup);
  profile.setValue(QString::fromLatin1(key), value ? QStringLiteral("1") : QStringLiteral("0"));
}

}  // namespace frame
