// The preview's keys, the page geometry and the paging protocol.
#include <gtest/gtest.h>

#include <vector>

#include "printing/page_geometry.h"
#include "printing/page_renderer.h"
#include "printing/recording_canvas.h"

namespace printing {
namespace {

using Kind = RecordingCanvas::Kind;

// One key after the other, from page 1 at zoom 19: what the window is asked
// to do and the view afterwards.
TEST(PreviewKeys, PageZoomScrollCloseAndNothingElse) {
  using K = PreviewKey;
  using A = PreviewAction;
  struct Step {
    K key;
    A action;
    int page, zoom, x, y;
  };
  const Step steps[] = {
      {K::PageUp, A::Repaint, 1, 19, 0, 0},   {K::PageDown, A::Repaint, 2, 19, 0, 0},
      {K::PageDown, A::Repaint, 3, 19, 0, 0}, {K::ZoomIn, A::Place, 3, 20, 0, 0},
      {K::ZoomIn, A::Place, 3, 20, 0, 0},     {K::Left, A::Place, 3, 20, 128, 0},
      {K::Left, A::Place, 3, 20, 256, 0},     {K::Down, A::Place, 3, 20, 256, -128},
      {K::Right, A::Place, 3, 20, 128, -128}, {K::Up, A::Place, 3, 20, 128, 0},
      {K::Escape, A::Close, 3, 20, 128, 0},   {K::Other, A::None, 3, 20, 128, 0}};
  PreviewView view;
  view.zoom = 19;
  for (const Step& s : steps) {
    SCOPED_TRACE(&s - steps);
    EXPECT_EQ(HandlePreviewKey(view, s.key), s.action);
    EXPECT_EQ((std::vector<int>{view.targetPage, view.zoom, view.scrollX, view.scrollY}),
              (std::vector<int>{s.page, s.zoom, s.x, s.y}));
  }
  view.zoom = 2;
  HandlePreviewKey(view, K::ZoomOut);
  EXPECT_EQ(HandlePreviewKey(view, K::ZoomOut), A::Place);
  EXPECT_EQ(view.zoom, 1);
  EXPECT_EQ((std::vector<int>{StartZoom(640), StartZoom(641), StartZoom(1920)}),
            (std::vector<int>{2, 3, 3}));
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
