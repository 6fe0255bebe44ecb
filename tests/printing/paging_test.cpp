// The preview's keys, the page geometry and the paging protocol.
#include <gtest/gtest.h>

#include "printing/page_geometry.h"
#include "printing/page_renderer.h"
#include "printing/recording_canvas.h"

namespace printing {
namespace {

using Kind = RecordingCanvas::Kind;

TEST(PreviewKeys, PagingStopsAtPageOneAndZoomStaysWithinOneToTwenty) {
  PreviewView view;
  EXPECT_EQ(HandlePreviewKey(view, PreviewKey::PageUp), PreviewAction::Repaint);
  EXPECT_EQ(view.targetPage, 1);
  HandlePreviewKey(view, PreviewKey::PageDown);
  HandlePreviewKey(view, PreviewKey::PageDown);
  EXPECT_EQ(view.targetPage, 3);

  view.zoom = 19;
  EXPECT_EQ(HandlePreviewKey(view, PreviewKey::ZoomIn), PreviewAction::Place);
  HandlePreviewKey(view, PreviewKey::ZoomIn);
  EXPECT_EQ(view.zoom, 20);
  view.zoom = 2;
  HandlePreviewKey(view, PreviewKey::ZoomOut);
  HandlePreviewKey(view, PreviewKey::ZoomOut);
  EXPECT_EQ(view.zoom, 1);

  EXPECT_EQ(StartZoom(640), 2);
  EXPECT_EQ(StartZoom(641), 3);
  EXPECT_EQ(StartZoom(1920), 3);
}

TEST(PreviewKeys, ArrowsMoveTheSheetEscClosesOtherKeysDoNothing) {
  PreviewView view;
  HandlePreviewKey(view, PreviewKey::Left);
  HandlePreviewKey(view, PreviewKey::Left);
  HandlePreviewKey(view, PreviewKey::Down);
  EXPECT_EQ(view.scrollX, 256);
  EXPECT_EQ(view.scrollY, -128);
  HandlePreviewKey(view, PreviewKey::Right);
  HandlePreviewKey(view, PreviewKey::Up);
  EXPECT_EQ(view.scrollX, 128);
  EXPECT_EQ(view.scrollY, 0);
  EXPECT_EQ(HandlePreviewKey(view, PreviewKey::Escape), PreviewAction::Close);
  PreviewView before = view;
  EXPECT_EQ(HandlePreviewKey(view, PreviewKey::Other), PreviewAction::None);
  EXPECT_EQ(view.targetPage, before.targetPage);
  EXPECT_EQ(view.zoom, before.zoom);
}

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
}

// A three-page document that pages by TargetPage and, like the order
// documents, stores its last page when it ends before the requested one.
class ThreePages : public PageRenderer {
 public:
  RenderOutcome render(Canvas& canvas, const PageGeometry& geometry,
                       RenderContext& context) override {
    ApplyMapping(canvas, geometry, -50, -70);
    int page = 1;
    canvas.textOut(100, 100, "Seite 1");
    while (page < 3) {
      if (!NextPage(canvas, geometry, context, page + 1, true)) return {page, true};
      ++page;
      canvas.textOut(100, 100, "Seite " + std::to_string(page));
    }
    if (context.session.view.targetPage > page) context.session.view.targetPage = page;
    return {page, false};
  }
};

std::string VisiblePage(RecordingCanvas& canvas) {
  // What remains visible in the preview: the last text after the last clean sheet.
  std::string shown;
  for (const auto& op : canvas.ops()) {
    if (op.kind == Kind::Fill) shown.clear();
    if (op.kind == Kind::Text) shown = op.text;
  }
  return shown;
}

TEST(PagingProtocol, PreviewShowsTheRequestedPageAndComesBackFromBeyondTheEnd) {
  frame::AppState app;
  PrintSession session;
  RenderContext context(app, session);
  ThreePages renderer;
  PageGeometry geometry{2100, 2970, 630, 891};
  auto show = [&] {
    RecordingCanvas canvas(true);
    renderer.render(canvas, geometry, context);
    EXPECT_TRUE(canvas.ofKind(Kind::EndPage).empty());
    return VisiblePage(canvas);
  };

  EXPECT_EQ(show(), "Seite 1");
  HandlePreviewKey(session.view, PreviewKey::PageDown);
  HandlePreviewKey(session.view, PreviewKey::PageDown);
  EXPECT_EQ(show(), "Seite 3");
  HandlePreviewKey(session.view, PreviewKey::PageDown);
  EXPECT_EQ(show(), "Seite 3");
  EXPECT_EQ(session.view.targetPage, 3);
  HandlePreviewKey(session.view, PreviewKey::PageUp);
  EXPECT_EQ(show(), "Seite 2");

  // The clean sheet covers the page and the margin around it.
  RecordingCanvas canvas(true);
  renderer.render(canvas, geometry, context);
  const auto* sheet = canvas.ofKind(Kind::Fill).front();
  EXPECT_EQ(sheet->x, -100);
  EXPECT_EQ(sheet->y, -100);
  EXPECT_EQ(sheet->x2, 2200);
  EXPECT_EQ(sheet->y2, 3070);
  EXPECT_EQ(sheet->colour, kWhite);
}

TEST(PagingProtocol, PrinterGetsEveryPageWithTheMappingSetAgainAndStopsWhenEndPageFails) {
  frame::AppState app;
  PrintSession session;
  session.view.targetPage = kPrintAllPages;
  RenderContext context(app, session);
  ThreePages renderer;
  PageGeometry geometry{2100, 2970, 4960, 7016};

  RecordingCanvas paper;
  RenderOutcome outcome = renderer.render(paper, geometry, context);
  EXPECT_EQ(outcome.lastPage, 3);
  EXPECT_EQ(paper.ofKind(Kind::StartPage).size(), 2u);
  EXPECT_EQ(paper.ofKind(Kind::EndPage).size(), 2u);
  EXPECT_TRUE(paper.ofKind(Kind::Fill).empty());
  const auto* last = paper.findText("Seite 3");
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->mapping, (Mapping{-50, -70, 2100, 2970, 4960, 7016}));
  EXPECT_EQ(session.view.targetPage, 3);  // a complete run leaves its last page

  session.view.targetPage = kPrintAllPages;
  RecordingCanvas cancelled;
  cancelled.failEndPageFrom(1);
  outcome = renderer.render(cancelled, geometry, context);
  EXPECT_EQ(outcome.lastPage, 1);
  EXPECT_EQ(cancelled.findText("Seite 2"), nullptr);
  EXPECT_TRUE(cancelled.ofKind(Kind::StartPage).empty());
}

TEST(RenderContext, WarnsOncePerTextThroughTheSink) {
  frame::AppState app;
  PrintSession session;
  RenderContext context(app, session);
  std::vector<std::string> shown;
  context.warningSink = [&](const std::string& text) { shown.push_back(text); };
  context.warn("a");
  context.warn("a");
  context.warn("b");
  EXPECT_EQ(shown, (std::vector<std::string>{"a", "b"}));
}

}  // namespace
}  // namespace printing
