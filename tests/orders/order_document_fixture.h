// The order documents rendered on the recording canvas from an order in
// memory, with the sample company and customer.
#ifndef BELVON_TESTS_ORDERS_ORDER_DOCUMENT_FIXTURE_H
#define BELVON_TESTS_ORDERS_ORDER_DOCUMENT_FIXTURE_H

#include <gtest/gtest.h>

#include <string>

#include "core/figures.h"
#include "orders/order_math.h"
#include "platform/clock.h"
#include "printing/job_table.h"
#include "printing/printing_fixture.h"
#include "printing/recording_canvas.h"
#include "support/layout_check.h"
#include "support/scripted_ui.h"

namespace printing {

using printingtest::Put;

// 28 characters, as many as the print dialog takes.
inline constexpr const char* kLongestDeliveryNoteTitle = "WARENBEGLEITSCHEIN/ÜBERGABEN";

class OrderDocumentTest : public ::testing::Test {
 protected:
  OrderDocumentTest() {
    app.ui = &ui;
    app.parameters = printingtest::SampleParameters();
    Put(app.parameters.currencySymbol1, "EUR");
    store::SetTaxRate(app.parameters, 0, 2, 70);
    store::SetTaxRate(app.parameters, 0, 3, 190);
    Put(app.parameters.deliveryNoteTitle, "LIEFERSCHEIN");
    app.address = printingtest::SampleAddress();
    app.order.orderNumber = 1261200001;
    Put(app.order.invoiceDate, "06.12.2026");
    session.inputs.printDate = "06.12.2026";
  }

  store::OrderLine& add(double quantity, const std::string& number, const std::string& text,
                        std::int32_t price, std::int16_t taxCode = store::kTaxCodeRate2,
                        std::int16_t discount = 0) {
    store::OrderLine& line = app.orderLines[++app.order.lineCount];
    line = store::OrderLine{};
    line.quantity = quantity;
    Put(line.unit, "Stk");
    Put(line.articleNumber, number);
    Put(line.description1, text);
    line.salePrice = price;
    line.taxCode = taxCode;
    line.discount = discount;
    line.orderNumber = app.order.orderNumber;
    return line;
  }
  void addPlain(int count) {
    for (int i = 1; i <= count; ++i) add(1, "A" + std::to_string(i), "Zeile " + std::to_string(i), 100);
  }

  RecordingCanvas render(int job, bool preview = false, const Font& found = {}) {
    session.job = job;
    app.order.total = orders::ComputeOrderTotal(app.order, app.orderLines, app.parameters);
    RecordingCanvas canvas(preview);
    canvas.measureWith(measure);
    canvas.selectFont(found);
    RenderContext context(app, session);
    outcome = MakeRenderer(job)->render(canvas, geometry, context);
    return canvas;
  }

  // Every order document's worst case: a hundred lines at the widest their
  // fields allow, some back-ordered, a customer whose lines are all 41
  // characters, the fourth currency printed under each row.
  void fillLargestOrder() {
    for (auto* field : {&app.address.name1, &app.address.name2, &app.address.name3,
                        &app.address.street, &app.address.town})
      Put(*field, "Wolfgang-Amadeus-Mozart-Elektroinstallati");
    Put(app.address.customerNumber, "999999999");
    Put(app.parameters.deliveryNoteTitle, kLongestDeliveryNoteTitle);
    Put(app.parameters.currencySymbol4, "USD");
    app.parameters.exchangeRates[3] = 1.1f;
    app.parameters.fourthCurrencyPrint = 1;
    // Every seventh line is back-ordered: the delivery note says so under it.
    for (int i = 0; i < 100; ++i)
      add(i ? 9999.999 : 1, "ELT-KAB-2000-WEISS-90", "Kabelkanal-Verbindungsstück Winkel weiß 9",
          i ? 840 : 999999999, i % 2 ? store::kTaxCodeRate1 : store::kTaxCodeRate2, 125)
          .flags = i % 7 == 3 ? store::kLineBackOrder : 0;
  }

  // Every document kind of the order in both figure styles, in the main
  // currency (with the fourth) and in another: no text over another, none
  // off the sheet.
  // The page is the printable area of the PDF and PNG files (A4 less 5 mm
  // on every side): a text inside it stands 5 mm inside the sheet.
  void expectLargestOrderTidy() {
    geometry = PageGeometry{2000, 2870, 4724, 6779};
    for (frame::FigureStyle style : {frame::FigureStyle::Point, frame::FigureStyle::German}) {
      app.figures = style;
      for (int job : {1, 2, 3, 4, 20, 23}) {
        for (std::uint8_t currency : {0, 3}) {
          app.order.currency = currency;
          SCOPED_TRACE("job " + std::to_string(job) + ", currency " + std::to_string(currency) +
                       (style == frame::FigureStyle::German ? ", German" : ", point"));
          const RecordingCanvas canvas = render(job);
          for (const std::string& fault : testsupport::LayoutFaults(canvas, 2000, 2870))
            ADD_FAILURE() << fault;
          // The delivery note's title, smaller or on two lines, loses nothing
          // on any page.
          if (job != 2) continue;
          std::string title;
          int pages = 0;
          for (const auto& op : canvas.ops()) {
            pages += op.kind == RecordingCanvas::Kind::EndPage;
            // Below the letterhead's name in the same face.
            if (op.kind == RecordingCanvas::Kind::Text && op.font.face == "Times New Roman Fett" &&
                op.y > 200)
              title += op.text;
          }
          std::string expected;
          for (int page = 0; page <= pages; ++page) expected += kLongestDeliveryNoteTitle;
          EXPECT_EQ(title, expected);
        }
      }
    }
  }

  // How the canvas measures text: its fixed widths when empty.
  RecordingCanvas::Measure measure;
  testsupport::ScriptedUi ui;
  frame::AppState app;
  PrintSession session{0, false, PreviewView{kPrintAllPages}, {}};
  PageGeometry geometry{2100, 2970, 4960, 7016};
  platform::FixedClock clock{{2026, 12, 6, 10, 0, 0}};
  RenderOutcome outcome;
};

}  // namespace printing

#endif  // BELVON_TESTS_ORDERS_ORDER_DOCUMENT_FIXTURE_H
