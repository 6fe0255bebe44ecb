// The order documents as they print: the largest order, measured with the
// fonts the painter draws in, keeps every text clear of the others and on
// the sheet.
#include <gtest/gtest.h>

#include "orders/order_document_fixture.h"
#include "support/real_fonts.h"

namespace printing {
namespace {

TEST_F(OrderDocumentTest, TheLargestOrderKeepsEveryTextInItsPlaceInTheRealFonts) {
  testsupport::RealFonts fonts;
  measure = fonts.measure();
  fillLargestOrder();
  expectLargestOrderTidy();
}

}  // namespace
}  // namespace printing
