// The one place where record texts (Windows-1252 bytes in fixed fields) meet
// QString. A character that Windows-1252 cannot hold never reaches a record:
// it is replaced by "?", and the FieldWriter remembers that it happened so
// that the dialog can say so once.
#ifndef BELVON_WIDGETS_FIELD_TEXT_H
#define BELVON_WIDGETS_FIELD_TEXT_H

#include <QString>
#include <QWidget>
#include <cstddef>
#include <string>
#include <string_view>

#include "core/figures.h"
#include "store/parameter_record.h"

namespace frame {

QString FromCp1252(std::string_view bytes);

template <std::size_t N>
QString FromField(const char (&field)[N]) {
  std::size_t n = 0;
  while (n < N && field[n]) ++n;
  return FromCp1252(std::string_view(field, n));
}

// User text (a name, a currency symbol) put where Qt reads marks of its
// own: in a button, a group-box title or a label with a buddy "&" marks the
// keyboard shortcut ("Bäckerei & Konditorei" would show an underlined blank),
// in a window title "[*]" stands for the modified mark. Plain labels and
// message boxes need nothing.
enum class ShownIn { Caption, WindowTitle };
QString Verbatim(const QString& text, ShownIn where = ShownIn::Caption);

// A choice of a tax class with the rate it stands for: "1 (7 %)".
QString TaxClassChoice(const char* name, const store::ParameterRecord& parameters, int currency,
                       int taxClass, FigureStyle style);

class FieldWriter {
 public:
  // Stores at most `limit` characters (and never more than the field holds).
  void write(char* field, std::size_t width, const QString& text, int limit = -1);
  template <std::size_t N>
  void write(char (&field)[N], const QString& text, int limit = -1) {
    write(field, N, text, limit);
  }
  std::string bytes(const QString& text);
  bool replacedAny() const { return replaced_; }
  // Tells the user once when characters had to be replaced.
  void reportTo(QWidget* parent) const;

 private:
  bool replaced_ = false;
};

}  // namespace frame

#endif  // BELVON_WIDGETS_FIELD_TEXT_H
