#include "app/mahndaten_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "core/decimal.h"
#include "widgets/dialog_support.h"
#include "widgets/file_chooser.h"
#include "widgets/field_text.h"
#include "store/text_field.h"
#include "widgets/help_viewer.h"

namespace frame {

namespace {

char* Text(store::ParameterRecord& p, int level) {
  switch (level) {
    case 0: return p.dunningText1;
    case 1: return p.dunningText2;
    default: return p.dunningText3;
  }
}

char* Title(store::ParameterRecord& p, int level) {
  switch (level) {
    case 0: return p.dunningTitle1;
    case 1: return p.dunningTitle2;
    default: return p.dunningTitle3;
  }
}

std::int16_t Whole16(const QString& text) {
  long value = ParseWhole(text.toStdString());
  return static_cast<std::int16_t>(std::clamp(value, -32768L, 32767L));
}

}  // namespace

MahndatenDialog::MahndatenDialog(const store::ParameterRecord& parameters, QWidget* parent)
    : QDialog(parent), parameters_(parameters) {
  setObjectName(QStringLiteral("MAHNDATEN"));
  setWindowTitle(QStringLiteral("Mahndaten"));
  auto* top = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  top->addLayout(grid);
  const char* headings[] = {"Stufe", "Frist (Tage nach Fälligkeit)", "Gebühren", "Titeltext", "Text"};
  for (int c = 0; c < 5; ++c) grid->addWidget(new QLabel(QString::fromUtf8(headings[c]), this), 0, c);
  for (int level = 0; level < 3; ++level) {
    int row = level + 1;
    grid->addWidget(new QLabel(QStringLiteral("%1. Mahnung").arg(level + 1), this), row, 0);
    QLineEdit* period = MakeEdit(this, 1069 + level, 6);
    period->setText(QString::number(parameters_.dunningPeriods[level]));
    grid->addWidget(period, row, 1);
    QLineEdit* fee = MakeEdit(this, 1063 + level, 6);
    fee->setText(QString::number(parameters_.dunningFees[level]));
    grid->addWidget(fee, row, 2);
    QLineEdit* title = MakeEdit(this, 1066 + level, 79);
    title->setText(FromCp1252(store::GetText(Title(parameters_, level), 81)));
    grid->addWidget(title, row, 3);
    QLineEdit* text = MakeEdit(this, 1072 + level, 79);
    text->setText(FromCp1252(store::GetText(Text(parameters_, level), 81)));
    text->setPlaceholderText(QStringLiteral("Textdatei des Briefes"));
    grid->addWidget(WithFileChooser(text, FileChoice::Open), row, 4);
  }
  grid->setColumnStretch(3, 1);
  grid->setColumnStretch(4, 1);
  auto* buttons = MakeButtonRow(this, {{1, "&OK"}, {2, "&Abbruch"}, {9, "&Hilfe"}}, [this](int id) { command(id); });
  Control<QPushButton>(this, 1)->setDefault(true);
  top->addLayout(buttons);
  resize(760, sizeHint().height());
}

void MahndatenDialog::command(int id) {
  switch (id) {
    case 1: accept(); break;
    case 2: reject(); break;
    case 9: ShowHelp(this, 59); break;
    default: break;
  }
}

void MahndatenDialog::accept() {
  FieldWriter writer;
  for (int level = 0; level < 3; ++level) {
    parameters_.dunningPeriods[level] = Whole16(Control<QLineEdit>(this, 1069 + level)->text());
    parameters_.dunningFees[level] = Whole16(Control<QLineEdit>(this, 1063 + level)->text());
    writer.write(Title(parameters_, level), 81, Control<QLineEdit>(this, 1066 + level)->text());
    writer.write(Text(parameters_, level), 81, Control<QLineEdit>(this, 1072 + level)->text());
  }
  writer.reportTo(this);
  QDialog::accept();
}

}  // namespace frame
