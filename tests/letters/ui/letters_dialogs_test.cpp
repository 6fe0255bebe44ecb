// The text editor and the dunning print dialog, driven by their commands.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <deque>

#include "frame/ui/dialog_support.h"
#include "letters/ui/mahnung_dialog.h"
#include "letters/ui/textverarbeitung_dialog.h"
#include "support/test_app.h"

namespace letters {
namespace {

using Editor = TextverarbeitungDialog;

TEST(TextEditor, LoadsOnlyTextsThatFitAndClosesWithoutAskingOnceSaved) {
  testsupport::TestApp t;
  testsupport::WriteBytes(t.dir.file("lang.txt"), std::vector<std::uint8_t>(31999, 'a'));
  testsupport::WriteBytes(t.dir.file("kurz.txt"), {'K', 'u', 'r', 'z', '\r', '\n', 0xE4});
  testsupport::WriteBytes(t.dir.file("voll.txt"), std::vector<std::uint8_t>(32000, 'b'));
  std::deque<std::string> chosen = {"lang.txt", "kurz.txt", "voll.txt", "brief.txt"};
  std::vector<printing::JobInputs> printed;
  Editor editor(
      t.app, nullptr,
      [&](bool) { return QString::fromStdString(t.dir.file(chosen.front())); },
      [&](const printing::JobInputs& inputs) { printed.push_back(inputs); });
  auto load = [&] {
    editor.command(Editor::kLoad);
    chosen.pop_front();
  };
  QPlainTextEdit* edit = frame::Control<QPlainTextEdit>(&editor, Editor::kEdit);
  QCoreApplication::processEvents();  // the editor starts with "Text laden..."
  chosen.pop_front();
  EXPECT_EQ(edit->toPlainText().size(), 31999);
  load();
  EXPECT_EQ(edit->toPlainText(), QStringLiteral("Kurz\nä"));
  load();  // 32 000 bytes: told, and the text stays
  EXPECT_EQ(edit->toPlainText(), QStringLiteral("Kurz\nä"));
  EXPECT_EQ(t.ui.texts().size(), 1u);
  EXPECT_FALSE(editor.modified());

  edit->insertPlainText(QStringLiteral("Hallo "));
  editor.command(Editor::kQuit);  // asked, and "No" keeps it open
  EXPECT_EQ(t.ui.questions().size(), 1u);
  EXPECT_EQ(editor.result(), 0);
  editor.command(Editor::kSave);
  EXPECT_EQ(testsupport::ReadBytes(t.dir.file("brief.txt")),
            (std::vector<std::uint8_t>{'H', 'a', 'l', 'l', 'o', ' ', 'K', 'u', 'r', 'z', '\r', '\n', 0xE4}));
  editor.command(Editor::kSingleLetter);
  ASSERT_EQ(printed.size(), 1u);
  EXPECT_EQ(printed[0].letterText, "Hallo Kurz\r\n\xE4");
  EXPECT_EQ(printed[0].printDate, "06.12.2026");
  editor.command(Editor::kQuit);
  EXPECT_EQ(t.ui.questions().size(), 1u);
  EXPECT_EQ(editor.result(), 1);
}

TEST(MahnungDialog, HandsTheRunToThePrintJob) {
  testsupport::TestApp t;
  std::vector<DunningOptions> runs;
  MahnungDialog dialog(t.app, nullptr, [&](const DunningOptions& o) { runs.push_back(o); });
  EXPECT_EQ(frame::Control<QLineEdit>(&dialog, 2128)->text(), QStringLiteral("06.12.2026"));
  frame::Control<QLineEdit>(&dialog, 2128)->setText(QStringLiteral("31.12.2026"));
  frame::Control<QCheckBox>(&dialog, 2221)->setChecked(true);
  frame::Control<QCheckBox>(&dialog, 2223)->setChecked(true);
  dialog.command(1);  // no current address to restrict the run to
  EXPECT_TRUE(runs.empty());
  t.app.addresses.position = 0;
  t.app.addresses.entry.offset = 1192;
  dialog.command(1);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(std::tuple(runs[0].date, runs[0].reprint, runs[0].customer),
            std::tuple(std::string("31.12.2026"), true, 1192));
}

}  // namespace
}  // namespace letters
