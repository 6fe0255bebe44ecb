// The page geometry and the shared paging step (the
// order documents page on their own and are checked there).
#include <gtest/gtest.h>

#include <vector>

#include "printing/page_geometry.h"
#include "printing/page_renderer.h"
#include "printing/recording_canvas.h"

namespace printing {
namespace {

TEST(PageGeometry, PreviewUsesZoomAndA5RuleShrinksOnlyThePrintedViewport) {
  PrinterInfo a4{203, 290, 4800, 6858};
  EXPECT_EQ(PrintingGeometry(a4), (PageGeometry{2030, 2900, 4800, 6858}));
  EXPECT_EQ(PreviewGeometry(a4, 3), (PageGeometry{2030, 2900, 609, 870}));

  PrinterInfo a5 = ApplyA5Rule(a4, true);
  // 4800 / 1.42 = 3380.28, 6858 / 1.42 = 4829.57: truncated.
  EXPECT_EQ(a5.deviceWidth, 3380);
  EXPECT_EQ(a5.deviceHeight, 4829);
  PageGeometry printed = PrintingGeometry(a5);
  EXPECT_EQ(printed.logicalWidth, 2030);  // the layout keeps its A4 size ...
  // ... and lands at about 70 % from the top-left corner.
  EXPECT_NEAR(static_cast<double>(printed.viewportWidth) / a4.deviceWidth, 1 / 1.42, 0.001);
  EXPECT_EQ(PreviewGeometry(a5, 3), PreviewGeometry(a4, 3));
  EXPECT_EQ(ApplyA5Rule(a4, false).deviceWidth, 4800);
  // The preview opens at zoom 2 on a screen up to 640 wide, at 3 above.
  EXPECT_EQ((std::vector<int>{StartZoom(640), StartZoom(641), StartZoom(1920)}),
            (std::vector<int>{2, 3, 3}));
}

// Three pages through NextPage, each naming itself.
std::vector<std::string> Pages(Canvas& canvas, RenderContext& context, const PageGeometry& geometry) {
  ApplyMapping(canvas, geometry, -50, -70);
  std::vector<std::string> printed{"1"};
  for (int page = 2; page <= 3 && NextPage(canvas, geometry, context, page, true); ++page)
    printed.push_back(std::to_string(page));
  return printed;
}

TEST(NextPage, PreviewStopsAtTheTargetOnACleanSheetAndPaperKeepsTheMapping) {
  frame::AppState app;
  PrintSession session;
  RenderContext context(app, session);
  const PageGeometry geometry{2100, 2970, 630, 891};
  session.view.targetPage = 2;
  RecordingCanvas preview(true);
  EXPECT_EQ(Pages(preview, context, geometry), (std::vector<std::string>{"1", "2"}));
  const auto* sheet = preview.ofKind(RecordingCanvas::Kind::Fill).at(0);
  EXPECT_EQ((std::vector{sheet->x, sheet->y, sheet->x2, sheet->y2}), (std::vector{-100, -100, 2200, 3070}));

  session.view.targetPage = kPrintAllPages;
  RecordingCanvas paper;
  EXPECT_EQ(Pages(paper, context, geometry).size(), 3u);
  EXPECT_EQ(paper.ofKind(RecordingCanvas::Kind::StartPage).size(), 2u);
  EXPECT_EQ(paper.mapping(), (Mapping{-50, -70, 2100, 2970, 630, 891}));
  RecordingCanvas failing;
  failing.failEndPageFrom(1);
  EXPECT_EQ(Pages(failing, context, geometry).size(), 1u);
  EXPECT_TRUE(failing.ofKind(RecordingCanvas::Kind::StartPage).empty());
}

}  // namespace
}  // namespace printing
