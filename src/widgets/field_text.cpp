#include "widgets/field_text.h"

#include <QMessageBox>

#include "core/user_interface.h"
#include "platform/cp1252.h"
#include "store/text_field.h"

namespace frame {

QString FromCp1252(std::string_view bytes) {
  return QString::fromStdString(platform::Cp1252ToUtf8(bytes));
}

QString TaxClassChoice(const char* name, const store::ParameterRecord& parameters, int currency,
                       int taxClass, FigureStyle style) {
  const double percent = store::TaxClassRate(parameters, currency, taxClass) / 10.0;
  return QString::fromUtf8(name) + QStringLiteral(" (") +
         QString::fromStdString(Percent(style, percent, true)) + QStringLiteral(")");
}

QString Verbatim(const QString& text, ShownIn where) {
  QString shown = text;
  if (where == ShownIn::Caption)
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
  else
    shown.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
  return shown;
}

std::string FieldWriter::bytes(const QString& text) {
  bool replaced = false;
  std::string out = platform::Utf8ToCp1252(text.toStdString(), &replaced);
  replaced_ = replaced_ || replaced;
  return out;
}

void FieldWriter::write(char* field, std::size_t width, const QString& text, int limit) {
  std::string encoded = bytes(text);
  if (limit >= 0 && encoded.size() > static_cast<std::size_t>(limit)) encoded.resize(limit);
  store::SetText(field, width, encoded);
}

void FieldWriter::reportTo(QWidget* parent) const {
  if (!replaced_) return;
  QMessageBox::warning(parent, QString::fromUtf8(kProgramTitle),
                       QStringLiteral("Einige Zeichen können in den Daten nicht gespeichert "
                                      "werden und wurden durch \"?\" ersetzt."));
}

}  // namespace frame
