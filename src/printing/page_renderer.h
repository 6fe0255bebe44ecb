// The renderer of one print job and what it is given to draw with.
//
// Paging: a renderer always draws its document from page 1. On paper it ends
// and starts pages itself (NextPage); in the preview it paints each new page
// over the last one and, where it pages by TargetPage, stops as soon as the
// next page would lie beyond it, so that only the requested page remains.
#ifndef BELVON_PRINTING_PAGE_RENDERER_H
#define BELVON_PRINTING_PAGE_RENDERER_H

#include <cstdint>
#include <functional>
#include <set>
#include <string>

#include "store/app_state.h"
#include "printing/canvas.h"
#include "printing/page_geometry.h"

namespace printing {

// What a job takes along from the dialog that started it; a preview keeps
// its own copy, so a repaint shows the document as it was asked for.
struct JobInputs {
  std::string printDate;   // "dd.mm.yyyy", Windows-1252
  std::string letterText;  // the text editor's letter body, Windows-1252, CR LF lines
  bool dunningReprint = false;          // dunning: also letters whose level has not risen
  std::int32_t dunningCustomer = -1;    // dunning: only this customer (record offset), -1 = all
  // The date range of the lists and statistics, as typed ("dd.mm.yyyy").
  std::string reportFrom;
  std::string reportTo;
  // An invoice this print issues: the invoice date the issue records, which
  // the order holds only once it is recorded (before, it holds none or an
  // older one). Empty: the order's own.
  std::string invoiceDate;
  // This print issues the invoice or collective invoice it draws: without,
  // one that is not issued yet is a draft.
  bool issuing = false;
  // A received e-invoice: its entry in the inbox of the data directory.
  int incomingId = 0;
};

// The state of one job. Every preview window holds its own, so two open
// previews never page or zoom each other.
struct PrintSession {
  int job = 0;
  bool notify = false;
  PreviewView view;  // view.targetPage is TargetPage
  JobInputs inputs;
};

class RenderContext {
 public:
  RenderContext(frame::AppState& app, PrintSession& session) : app(app), session(session) {}

  // Tells the user once per context (one printed job, one preview window),
  // through `warningSink` when set, else through the UserInterface.
  void warn(const std::string& text);

  frame::AppState& app;
  PrintSession& session;
  std::function<void(const std::string&)> warningSink;

 private:
  std::set<std::string> warned_;
};

struct RenderOutcome {
  int lastPage = 1;        // the last page drawn
  bool morePages = false;  // stopped at TargetPage with pages still to come
};

class PageRenderer {
 public:
  virtual ~PageRenderer() = default;
  virtual RenderOutcome render(Canvas& canvas, const PageGeometry& geometry,
                               RenderContext& context) = 0;
};

// The mapping every renderer starts with: window extent = logical size,
// viewport extent = viewport size, window origin as given (the print offsets
// of the letters and documents: (-10 h, -10 v)).
void ApplyMapping(Canvas& canvas, const PageGeometry& geometry, int originX = 0,
                  int originY = 0);

// The window origin of the print offsets "Ausdruckposition", each clamped to
// -100..100 millimetres.
void PrintOffsetOrigin(const store::ParameterRecord& parameters, int& originX, int& originY);

// The page break of the paging protocol, before page `nextPage`. With
// `comparesTarget` it stops (false) when nextPage lies beyond TargetPage. On
// paper it ends the page (false when that fails) and starts the next with
// the mapping set again; in the preview it paints a clean sheet instead.
bool NextPage(Canvas& canvas, const PageGeometry& geometry, RenderContext& context, int nextPage,
              bool comparesTarget);

inline constexpr const char* kPreviewPrompt = "Linke Maustaste zum Drucken, Rechte zum Beenden...";

// The red line every renderer finally writes into the preview, at the top
// left corner (10, 10) unless `y` puts it elsewhere.
void DrawPreviewPrompt(Canvas& canvas, int y = 10);

}  // namespace printing

#endif  // BELVON_PRINTING_PAGE_RENDERER_H
