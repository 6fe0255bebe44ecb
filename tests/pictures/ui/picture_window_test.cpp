// The picture window: the zoom it opens at, the proportions it keeps when
// the user resizes it, no window without a picture, and the article pane's
// "Bild anzeigen" that opens it and the browsing that closes it.
#include "pictures/ui/picture_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include "masterdata/ui/artikel_pane.h"
#include "pictures/picture_file.h"
#include "store/article_file.h"
#include "store/records_test_support.h"
#include "support/case_table.h"

namespace pictures {
namespace {

class PictureWindowTest : public testsupport::StoreTest {
 protected:
  // A photo of that size as "foto.jpg" in the data directory.
  void Photo(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(200, 120, 40));
    ASSERT_TRUE(image.save(QString::fromStdString(app.path("foto.jpg")), "JPEG"));
  }
  static QList<QWidget*> Shown() {
    QApplication::processEvents();
    QList<QWidget*> shown;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == "PicClass" && w->isVisible()) shown.append(w);
    return shown;
  }
};

TEST_F(PictureWindowTest, OpensWithItsLargerSideAtAbout320Pixels) {
  const struct {
    int width, height, zoom;
    QSize client;
  } cases[] = {{640, 480, 50, {320, 240}}, {100, 50, 320, {320, 160}}, {50, 100, 320, {160, 320}},
               {1500, 1000, 22, {330, 220}}};
  store::SetText(app.article.remark2, "foto.jpg Ansicht von vorn");
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
    Photo(c.width, c.height);
    std::unique_ptr<PictureWindow> window(PictureWindow::Open(app, nullptr));
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), "foto.jpg");
    EXPECT_EQ(window->zoom(), c.zoom);
    EXPECT_EQ(window->size(), c.client);
  }
}

TEST_F(PictureWindowTest, ResizingKeepsTheProportions) {
  Photo(640, 480);
  store::SetText(app.article.remark2, "foto.jpg");
  std::unique_ptr<PictureWindow> window(PictureWindow::Open(app, nullptr));
  ASSERT_TRUE(window);
  const std::pair<int, QSize> cases[] = {{400, {403, 302}}, {160, {166, 124}}, {640, {646, 484}}};
  for (const auto& [width, client] : cases) {
    SCOPED_TRACE(width);
    window->resize(width, 100);
    QApplication::processEvents();
    EXPECT_EQ(window->size(), client);
  }
}

TEST_F(PictureWindowTest, NoPictureNoWindow) {
  ASSERT_TRUE(
      QImage(8, 8, QImage::Format_RGB32).save(QString::fromStdString(app.path("foto.png"))));
  for (const char* remark : {"", " foto.jpg", "fehlt.jpg", "foto.png"}) {
    SCOPED_TRACE(remark);
    store::SetText(app.article.remark2, remark);
    EXPECT_EQ(PictureWindow::Open(app, nullptr), nullptr);
  }
  EXPECT_TRUE(Shown().empty());
}

TEST_F(PictureWindowTest, TheNameEndsAtTheFirstSeparator) {
  testsupport::ExpectEach<std::string, std::string>(
      [](const std::string& remark) { return PictureName(remark); },
      // clang-format off
      {{"a.jpg rot", "a.jpg"}, {"a.jpg,b", "a.jpg"}, {"a.jpg:b", "a.jpg"}, {"a.jpg;b", "a.jpg"},
       {"a.jpg\r\nb", "a.jpg"}, {"/bilder/a.jpg\nb", "/bilder/a.jpg"}, {"a.jpg", "a.jpg"}});
  // clang-format on
}

TEST_F(PictureWindowTest, TheArticlePaneShowsThePictureUntilItBrowsesOn) {
  Photo(64, 48);
  store::ArticleRecord withPicture = testsupport::MakeArticle("100");
  store::SetText(withPicture.remark2, "foto.jpg");
  std::int32_t position = -1;
  ASSERT_EQ(store::WriteArticle(app, withPicture, position, true), 1);
  ASSERT_EQ(store::WriteArticle(app, testsupport::MakeArticle("200"), position = -1, true), 1);
  masterdata::ArtikelPane pane(app);
  pane.show();
  QApplication::processEvents();
  pane.command(2135);  // "Bild anzeigen"
  pane.command(2135);  // the old window gives way to the new one
  ASSERT_EQ(Shown().size(), 1);
  EXPECT_EQ(Shown().front()->windowTitle(), "foto.jpg");
  pane.command(2024);  // ">"
  EXPECT_TRUE(Shown().empty());
  pane.command(2135);  // article 200 names no picture
  EXPECT_TRUE(Shown().empty());
}

}  // namespace
}  // namespace pictures
