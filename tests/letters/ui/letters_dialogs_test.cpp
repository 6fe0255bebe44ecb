// The text editor and the dunning print dialog, driven by their commands.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <deque>

#include "widgets/dialog_support.h"
#include "letters/ui/mahnung_dialog.h"
#include "letters/ui/textverarbeitung_dialog.h"
#include "support/test_app.h"

namespace letters {
namespace {

using Editor = TextverarbeitungDialog;
using Bytes = std::vector<std::uint8_t>;

TEST(TextEditor, LoadsOnlyTextsThatFitAndClosesWithoutAskingOnceSaved) {
  testsupport::TestApp t;
  testsupport::WriteBytes(t.dir.file("lang.txt"), Bytes(31999, 'a'));
  testsupport::WriteBytes(t.dir.file("kurz.txt"), {'K', 'u', 'r', 'z', '\r', '\n', 0xE4});
  testsupport::WriteBytes(t.dir.file("voll.txt"), Bytes(32000, 'b'));
  std::deque<std::string> chosen = {"lang.txt", "kurz.txt", "voll.txt", "brief.txt"};
  std::vector<printing::JobInputs> printed;
  Editor editor(t.app, nullptr, [&](bool) {
    const std::string name = chosen.front();
    chosen.pop_front();
    return QString::fromStdString(t.dir.file(name));
  }, [&](const printing::JobInputs& inputs) { printed.push_back(inputs); });
  QPlainTextEdit* edit = frame::Control<QPlainTextEdit>(&editor, Editor::kEdit);
  QCoreApplication::processEvents();  // the editor starts with "Text laden..."
  EXPECT_EQ(edit->toPlainText().size(), 31999);
  editor.command(Editor::kLoad);
  EXPECT_EQ(edit->toPlainText(), QStringLiteral("Kurz\nä"));
  editor.command(Editor::kLoad);  // 32 000 bytes: told, and the text stays
  EXPECT_EQ(edit->toPlainText(), QStringLiteral("Kurz\nä"));
  EXPECT_EQ(t.ui.texts().size(), 1u);

  edit->insertPlainText(QStringLiteral("Hallo "));
  editor.command(Editor::kQuit);  // asked, and "No" keeps it open
  EXPECT_EQ(std::pair(t.ui.questions().size(), editor.result()), std::pair(std::size_t{1}, 0));
  editor.command(Editor::kSave);
  EXPECT_EQ(testsupport::ReadBytes(t.dir.file("brief.txt")),
            (Bytes{'H', 'a', 'l', 'l', 'o', ' ', 'K', 'u', 'r', 'z', '\r', '\n', 0xE4}));
  editor.command(Editor::kSingleLetter);
  ASSERT_EQ(printed.size(), 1u);
  EXPECT_EQ(std::pair(printed[0].letterText, printed[0].printDate),
            std::pair(std::string("Hallo Kurz\r\n\xE4"), std::string("06.12.2026")));
  editor.command(Editor::kQuit);
  EXPECT_EQ(std::pair(t.ui.questions().size(), editor.result()), std::pair(std::size_t{1}, 1));
}

TEST(MahnungDialog, HandsTheRunToThePrintJob) {
  testsupport::TestApp t;
  std::vector<DunningOptions> runs;
  MahnungDialog dialog(t.app, nullptr, [&](const DunningOptions& o) { runs.push_back(o); });
  EXPECT_EQ(frame::Control<QLineEdit>(&dialog, 2128)->text(), QStringLiteral("06.12.2026"));
  frame::Control<QLineEdit>(&dialog, 2128)->setText(QStringLiteral("32.12.2026"));
  dialog.command(1);  // no such day: told, nothing run
  frame::Control<QLineEdit>(&dialog, 2128)->setText(QStringLiteral("7.12.26"));
  frame::Control<QCheckBox>(&dialog, 2221)->setChecked(true);
  frame::Control<QCheckBox>(&dialog, 2223)->setChecked(true);
  dialog.command(1);  // no current address to restrict the run to: told, nothing run
  t.app.addresses.position = 0;
  t.app.addresses.entry.offset = 1192;
  dialog.command(1);
  EXPECT_EQ(t.ui.texts().size(), 2u);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(std::tuple(runs[0].date, runs[0].reprint, runs[0].customer),
            std::tuple(std::string("07.12.2026"), true, 1192));
}

}  // namespace
}  // namespace letters
