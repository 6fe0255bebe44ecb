#include "cli/collective_print.h"

#include <charconv>
#include <cstdio>

namespace cli {

namespace {

// A whole order number as the range fields take it; empty gives `empty`.
bool ReadNumber(const std::string& text, long empty, long& value) {
  if (text.empty()) {
    value = empty;
    return true;
  }
  auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec == std::errc() && result.ptr == text.data() + text.size() && value >= 0)
    return true;
  std::fprintf(stderr, "Ungültige Auftragsnummer: %s\n", text.c_str());
  return false;
}

}  // namespace

bool CollectiveOption(const std::string& option, const std::string& value,
                      CollectiveRange& range) {
  if (option == "--from") range.from = value;
  else if (option == "--to") range.to = value;
  else return false;
  return true;
}

bool CollectForPrint(frame::AppState& app, const CollectiveRange& range,
                     const std::string& invoiceDate, orders::Collection& collection) {
  orders::CollectionRequest request;
  request.customerRef = app.addresses.entry.offset;
  request.invoiceDate = invoiceDate;
  request.includeInvoiced = range.includeInvoiced;
  long highest = std::stol(orders::HighestNumberOfMonth(*app.clock));
  return ReadNumber(range.from, 0, request.from) &&
         ReadNumber(range.to, highest, request.to) &&
         orders::CollectOrders(app, request, collection);
}

}  // namespace cli
