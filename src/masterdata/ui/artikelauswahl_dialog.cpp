#include "masterdata/ui/artikelauswahl_dialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "widgets/dialog_support.h"
#include "widgets/field_text.h"
#include "widgets/help_viewer.h"
#include "masterdata/article_values.h"
#include "store/text_field.h"

namespace masterdata {

using frame::Control;
using frame::FromField;

ArtikelAuswahlDialog::ArtikelAuswahlDialog(const store::ArticleRecord& criteria,
                                           const store::ProductGroupTable& productGroups,
                                           QWidget* parent)
    : QDialog(parent), criteria_(criteria) {
  setObjectName(QStringLiteral("ARTIKELAUSWAHL"));
  setWindowTitle(QStringLiteral("Artikel auswählen"));
  auto* top = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  top->addLayout(grid);
  int row = 0;

  QLineEdit* number = frame::MakeEdit(this, 1128, kNumberChars);
  if (store::GetText(criteria_.number) != kNoNumberCriterion)
    number->setText(FromField(criteria_.number));
  frame::AddRow(grid, row++, 0, QStringLiteral("Art.-Nr.:"), number);
  QLineEdit* designation = frame::MakeEdit(this, 1104, kDesignationChars);
  designation->setText(FromField(criteria_.designation));
  frame::AddRow(grid, row++, 0, QStringLiteral("Art.-Bez.:"), designation);
  auto* group = new QComboBox(this);
  group->setProperty("id", 1100);
  group->setEditable(true);
  group->setInsertPolicy(QComboBox::NoInsert);
  for (std::string_view name : productGroups.offered()) group->addItem(frame::FromCp1252(name));
  group->lineEdit()->setMaxLength(kProductGroupChars);
  group->setEditText(FromField(criteria_.productGroup));
  frame::AddRow(grid, row++, 0, QStringLiteral("Warengr.:"), group);
  QLineEdit* remark1 = frame::MakeEdit(this, 1105, kRemark1Chars);
  remark1->setText(FromField(criteria_.remark1));
  frame::AddRow(grid, row++, 0, QStringLiteral("Bem. 1:"), remark1);
  QLineEdit* remark2 = frame::MakeEdit(this, 1106, kRemark2Chars);
  remark2->setText(FromField(criteria_.remark2));
  frame::AddRow(grid, row++, 0, QStringLiteral("Bem. 2:"), remark2);
  QLineEdit* supplier = frame::MakeEdit(this, 1101, kSupplierChars);
  supplier->setText(FromField(criteria_.supplier));
  frame::AddRow(grid, row++, 0, QStringLiteral("Lieferant:"), supplier);
  grid->addWidget(new QLabel(QStringLiteral("abc     #abc (ohne abc)"), this), row++, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  for (auto [id, text] :
       {std::pair{1, "Aus&wahl"}, std::pair{2, "&Abbruch"}, std::pair{16, "&Hilfe"}}) {
    QPushButton* button = frame::MakeButton(this, id, QString::fromUtf8(text));
    connect(button, &QPushButton::clicked, this, [this, id = id] { command(id); });
    buttons->addWidget(button);
  }
  Control<QPushButton>(this, 1)->setDefault(true);
  top->addLayout(buttons);
  number->setFocus();
}

void ArtikelAuswahlDialog::command(int id) {
  switch (id) {
    case 1: accept(); break;
    case 2: reject(); break;
    case 16: frame::ShowHelp(this, 27); break;
    default: break;
  }
}

void ArtikelAuswahlDialog::accept() {
  frame::FieldWriter writer;
  writer.write(criteria_.number, Control<QLineEdit>(this, 1128)->text(), kNumberChars);
  if (store::GetText(criteria_.number).empty()) store::SetText(criteria_.number, kNoNumberCriterion);
  writer.write(criteria_.designation, Control<QLineEdit>(this, 1104)->text(), kDesignationChars);
  writer.write(criteria_.productGroup, Control<QComboBox>(this, 1100)->currentText(),
               kProductGroupChars);
  writer.write(criteria_.remark1, Control<QLineEdit>(this, 1105)->text(), kRemark1Chars);
  writer.write(criteria_.remark2, Control<QLineEdit>(this, 1106)->text(), kRemark2Chars);
  writer.write(criteria_.supplier, Control<QLineEdit>(this, 1101)->text(), kSupplierChars);
  writer.reportTo(this);
  QDialog::accept();
}

}  // namespace masterdata
