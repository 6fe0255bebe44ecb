#include "app/druckparam_dialog.h"

#include <QFontDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "printing/font_description.h"
#include "core/settings_rules.h"
#include "widgets/dialog_support.h"
#include "widgets/file_chooser.h"
#include "widgets/field_text.h"
#include "store/text_field.h"
#include "widgets/help_viewer.h"

namespace frame {

namespace {

QFont ToQFont(const char* slot) {
  std::optional<FontDescription> font = DecodeFont(store::GetText(slot, 60));
  if (!font) return QFont(QStringLiteral("Arial"), 12);
  QFont qfont(QString::fromStdString(font->family), font->points);
  qfont.setWeight(static_cast<QFont::Weight>(font->weight));
  qfont.setItalic(font->italic);
  return qfont;
}

}  // namespace

DruckparamDialog::DruckparamDialog(const store::ParameterRecord& parameters, QWidget* parent)
    : QDialog(parent), parameters_(parameters) {
  setObjectName(QStringLiteral("DRUCKPARAM"));
  setWindowTitle(QStringLiteral("Drucker / Seiteneinstellungen"));
  auto* top = new QVBoxLayout(this);

  auto* page = new QGroupBox(QStringLiteral("Seite"), this);
  auto* pageGrid = new QGridLayout(page);
  auto number = [&](int id, int value, int row, int column, const QString& label) {
    QLineEdit* edit = MakeEdit(page, id, 6);
    edit->setText(QString::number(value));
    AddRow(pageGrid, row, column, label, edit);
  };
  number(2153, parameters_.printOffsetVertical, 0, 0, QStringLiteral("Versatz vertikal (mm)"));
  number(2154, parameters_.printOffsetHorizontal, 1, 0, QStringLiteral("Versatz horizontal (mm)"));
  pageGrid->addWidget(MakeCheck(page, 2213, QStringLiteral(" Aufträge DIN A5")), 2, 0, 1, 2);
  Control<QCheckBox>(this, 2213)->setChecked(parameters_.ordersOnA5 != 0);
  top->addWidget(page);

  auto* head = new QGroupBox(QStringLiteral("Briefkopf"), this);
  auto* headGrid = new QGridLayout(head);
  struct Line {
    int id;
    char* field;
    int width;
    int fontId;
  };
  const Line lines[] = {{2216, parameters_.letterheadLine1, 40, 2233},
                        {2217, parameters_.letterheadLine2, 60, 2234},
                        {2218, parameters_.letterheadLine3, 60, 0},
                        {2219, parameters_.letterheadLine4, 60, 0}};
  int row = 0;
  for (const Line& line : lines) {
    QLineEdit* edit = MakeEdit(head, line.id, line.width - 1);
    edit->setText(FromCp1252(store::GetText(line.field, line.width)));
    AddRow(headGrid, row, 0, row == 0 ? QStringLiteral("Name 1") : QStringLiteral("Zeile %1").arg(row + 1),
           edit);
    if (line.fontId) {
      QPushButton* font = MakeButton(head, line.fontId, QStringLiteral("Font"));
      connect(font, &QPushButton::clicked, this, [this, id = line.fontId] { command(id); });
      headGrid->addWidget(font, row, 2);
    }
    ++row;
  }
  headGrid->addWidget(MakeCheck(head, 2227, QStringLiteral("Balken im Kopf drucken")), row++, 0, 1, 2);
  Control<QCheckBox>(this, 2227)->setChecked(parameters_.printBar != 0);
  top->addWidget(head);

  auto* logo = new QGroupBox(QStringLiteral("Logo"), this);
  auto* logoGrid = new QGridLayout(logo);
  QLineEdit* file = MakeEdit(logo, 2214, 127);
  file->setText(FromCp1252(store::GetText(parameters_.logoFile)));
  AddRow(logoGrid, 0, 0, QStringLiteral("Bilddatei (BMP)"),
         WithFileChooser(file, FileChoice::Open, QStringLiteral("Bilder (*.bmp *.BMP)")));
  auto unsignedNumber = [&](int id, int value, int r, const QString& label) {
    QLineEdit* edit = MakeEdit(logo, id, 5);
    edit->setText(QString::number(static_cast<std::uint16_t>(value)));
    AddRow(logoGrid, r, 0, label, edit);
  };
  unsignedNumber(2155, parameters_.logoWidth, 1, QStringLiteral("Breite (mm)"));
  unsignedNumber(2156, parameters_.logoPosHorizontal, 2, QStringLiteral("Position horizontal (mm)"));
  unsignedNumber(2157, parameters_.logoPosVertical, 3, QStringLiteral("Position vertikal (mm)"));
  top->addWidget(logo);

  auto* drawerRow = new QVBoxLayout;
  drawerRow->addWidget(new QLabel(QStringLiteral("Programm zum Öffnen der Kassenschublade"), this));
  QLineEdit* drawer = MakeEdit(this, 2215, 127);
  drawer->setText(FromCp1252(store::GetText(parameters_.cashDrawerCommand)));
  drawerRow->addWidget(drawer);
  top->addLayout(drawerRow);

  auto* buttons = MakeButtonRow(this, {{1, "&OK"}, {2, "&Abbruch"}, {9, "&Hilfe"}}, [this](int id) { command(id); });
  Control<QPushButton>(this, 1)->setDefault(true);
  top->addLayout(buttons);
}

void DruckparamDialog::chooseFont(char* slot) {
  bool chosen = false;
  QFont font = QFontDialog::getFont(&chosen, ToQFont(slot), this, QStringLiteral("Schriftart"));
  if (!chosen) return;
  FontDescription description{font.family().toStdString(),
                              font.pointSize() > 0 ? font.pointSize() : 12, font.weight(),
                              font.italic()};
  store::SetText(slot, 60, EncodeFont(description));
}

void DruckparamDialog::command(int id) {
  switch (id) {
    case 1: accept(); break;
    case 2: reject(); break;
    case 9: ShowHelp(this, 8); break;
    case 2233: chooseFont(parameters_.fontLine1); break;
    case 2234: chooseFont(parameters_.fontLines2to4); break;
    default: break;
  }
}

void DruckparamDialog::accept() {
  auto text = [this](int id) { return Control<QLineEdit>(this, id)->text().toStdString(); };
  parameters_.printOffsetVertical = ClampedWhole(text(2153), -100, 100);
  parameters_.printOffsetHorizontal = ClampedWhole(text(2154), -100, 100);
  parameters_.logoWidth = ClampedWhole(text(2155), 0, 200);
  parameters_.logoPosHorizontal = ClampedWhole(text(2156), 0, 2000);
  parameters_.logoPosVertical = ClampedWhole(text(2157), 0, 2000);
  FieldWriter writer;
  writer.write(parameters_.logoFile, Control<QLineEdit>(this, 2214)->text(), 127);
  writer.write(parameters_.cashDrawerCommand, Control<QLineEdit>(this, 2215)->text(), 127);
  writer.write(parameters_.letterheadLine1, Control<QLineEdit>(this, 2216)->text(), 39);
  writer.write(parameters_.letterheadLine2, Control<QLineEdit>(this, 2217)->text(), 59);
  writer.write(parameters_.letterheadLine3, Control<QLineEdit>(this, 2218)->text(), 59);
  writer.write(parameters_.letterheadLine4, Control<QLineEdit>(this, 2219)->text(), 59);
  parameters_.ordersOnA5 = Control<QCheckBox>(this, 2213)->isChecked() ? 1 : 0;
  parameters_.printBar = Control<QCheckBox>(this, 2227)->isChecked() ? 1 : 0;
  writer.reportTo(this);
  QDialog::accept();
}

}  // namespace frame
