#include "letters/dunning_renderer.h"

#include <algorithm>
#include <array>

#include "core/decimal.h"
#include "core/user_interface.h"
#include "platform/cp1252.h"
#include "printing/letter_renderer.h"
#include "printing/letterhead.h"
#include "printing/text_wrap.h"
#include "store/text_field.h"

namespace letters {

namespace {

using printing::Canvas;
using printing::Font;
using printing::TextAlign;

Font BodyFont() { return Font{"Arial", -35}; }
Font TitleFont() { return Font{"Arial", -80, 600}; }

// What follows the body and stays together: a blank line, the two lines of
// the amount due, the gap before the greeting and the greeting itself.
constexpr int kClosingHeight = 60 + 60 + 180 + 35;

// One letter below the letterhead and the customer's address, on as many
// pages as its text needs; the amount due and the greeting follow the text.
// The number of its pages, 0 when the printer failed.
int DrawLetter(Canvas& canvas, const printing::PageGeometry& geometry,
                printing::RenderContext& context, const DunningItem& item,
                const std::string& body, int pageHeight) {
  const store::ParameterRecord& p = context.app.parameters;
  printing::Letterhead(canvas, context, geometry.logicalWidth, pageHeight, false);
  printing::RecipientBlock(canvas, context, geometry.logicalWidth, pageHeight, item.customer);
  canvas.selectFont(BodyFont());
  canvas.setTextAlign(TextAlign::Left);
  canvas.textOut(1400, 900, "Datum: " + platform::Cp1252ToUtf8(context.session.inputs.printDate));
  // A title of up to 79 characters stays between the margins of the text:
  // smaller, down to 4 mm, or on two lines of that size.
  canvas.selectFont(TitleFont());
  canvas.setTextAlign(TextAlign::Centre);
  int titleY = 1020;
  for (const std::string& line : printing::FitHeading(
           canvas, platform::Cp1252ToUtf8(LevelTitle(p, item.level)),
           geometry.logicalWidth - 2 * printing::kLetterTextLeft, 40)) {
    canvas.textOut(geometry.logicalWidth / 2, titleY, line);
    titleY += 45;
  }
  canvas.selectFont(BodyFont());
  canvas.setTextAlign(TextAlign::Left);
  // The letters of one run are drawn onto one sheet in the preview; the
  // pages of one letter follow each other there as well.
  printing::LetterPages pages(canvas, geometry, context, pageHeight, false);
  int y = 1160;
  if (!body.empty())
    for (const std::string& line : printing::LetterBodyLines(canvas, body)) {
      if (!line.empty()) {
        if (!pages.room(y, -BodyFont().height)) return 0;
        canvas.textOut(printing::kLetterTextLeft, y, line);
      }
      y += 60;
    }
  if (!pages.room(y, kClosingHeight)) return 0;
  y += 60;
  canvas.textOut(150, y,
                 frame::Format("Der fällige Betrag aus der Rechnung Nr.: %-ld vom %s beläuft",
                               static_cast<long>(item.head.orderNumber),
                               platform::Cp1252ToUtf8(store::GetText(item.head.invoiceDate)).c_str()));
  y += 60;
  canvas.textOut(150, y, AmountDueLine(p, item.head, item.level, context.app.figures));
  y += 180;
  canvas.textOut(150, y, "Mit freundlichen Grüßen");
  return pages.page();
}

}  // namespace

DunningOptions DunningOptionsOf(const printing::JobInputs& inputs) {
  DunningOptions options;
  options.date = inputs.printDate;
  options.reprint = inputs.dunningReprint;
  options.customer = inputs.dunningCustomer;
  return options;
}

printing::JobInputs DunningJobInputs(const DunningOptions& options) {
  printing::JobInputs inputs;
  inputs.printDate = options.date;
  inputs.dunningReprint = options.reprint;
  inputs.dunningCustomer = options.customer;
  return inputs;
}

printing::JobEnd PrintDunningLetters(frame::AppState& app, printing::PrintHost& host,
                                     const DunningOptions& options, std::function<void()> stored) {
  // The selection is repeated after the print: it reads what the letters
  // were drawn from a moment before, with nothing written in between.
  // A run without a letter prints nothing, not a blank page, and stores
  // nothing either.
  if (!AnyLetter(SelectDunning(app, options, false))) {
    if (app.ui) app.ui->message(kNoDunningDue, frame::Icon::Information);
    return printing::JobEnd::Nothing;
  }
  auto store = [&app, options, stored] {
    if (!StoreDunningLevels(app, SelectDunning(app, options, false), options.date) && app.ui)
      app.ui->message("Die Mahnstufen konnten nicht gespeichert werden.", frame::Icon::Stop);
    if (stored) stored();
  };
  return printing::PrintJob(app, host, kJobDunning, false, DunningJobInputs(options), store);
}

printing::RenderOutcome DunningRenderer::render(Canvas& canvas,
                                                const printing::PageGeometry& geometry,
                                                printing::RenderContext& context) {
  frame::AppState& app = context.app;
  int originX = 0, originY = 0;
  printing::PrintOffsetOrigin(app.parameters, originX, originY);
  printing::ApplyMapping(canvas, geometry, originX, originY);
  const int pageHeight = printing::LetterPageHeight(geometry, originY);
  canvas.setBrush(std::nullopt);
  printing::FontScope restore(canvas);
  const TextAlign align = canvas.textAlign();

  auto progress = [&app](int percent) { return app.ui && app.ui->progress(percent); };
  const std::vector<DunningItem> items =
      SelectDunning(app, DunningOptionsOf(context.session.inputs), !canvas.isPreview(), progress);
  std::array<std::optional<std::string>, 3> bodies;
  int page = 0;
  for (const DunningItem& item : items) {
    if (!item.letter) continue;
    std::optional<std::string>& body = bodies[item.level - 1];
    if (!body) {
      std::string problem;
      body = ReadLevelText(app, item.level, &problem);
      if (!problem.empty()) context.warn(problem);
    }
    // On paper each letter begins on a page of its own; the preview draws
    // them all onto the one sheet.
    if (page > 0 && !canvas.isPreview() &&
        !printing::NextPage(canvas, geometry, context, page + 1, false))
      break;
    const std::string text = FillLetterFields(*body, app.parameters, item,
                                              context.session.inputs.printDate, app.figures);
    const int pages = DrawLetter(canvas, geometry, context, item, text, pageHeight);
    page += std::max(pages, 1);
    if (pages == 0) break;
  }
  canvas.setTextAlign(align);
  printing::DrawPreviewPrompt(canvas);
  return {std::max(page, 1), false};
}

}  // namespace letters
