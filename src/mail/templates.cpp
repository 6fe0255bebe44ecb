#include "mail/templates.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/dates.h"
#include "core/figures.h"
#include "orders/issue_statement.h"
#include "orders/payments.h"
#include "platform/cp1252.h"
#include "store/text_field.h"

namespace mail {

namespace {

std::string Utf8(std::string_view cp1252) { return platform::Cp1252ToUtf8(cp1252); }

std::string CurrencyName(const store::ParameterRecord& p, int index) {
  switch (index) {
    case 1: return Utf8(store::GetText(p.currencySymbol2));
    case 2: return Utf8(store::GetText(p.currencySymbol3));
    case 3: return Utf8(store::GetText(p.currencySymbol4));
    default: return Utf8(store::GetText(p.currencySymbol1));
  }
}

std::string KindName(orders::DocumentKind kind, const store::OrderHead& order) {
  switch (kind) {
    case orders::DocumentKind::Quotation: return "Angebot";
    case orders::DocumentKind::DeliveryNote: return "Lieferschein";
    case orders::DocumentKind::Invoice: return order.total < 0 ? "Gutschrift" : "Rechnung";
    case orders::DocumentKind::CollectiveInvoice: return "Sammelrechnung";
    case orders::DocumentKind::Confirmation: return "Auftragsbestätigung";
    case orders::DocumentKind::CostEstimate: return "Kostenvoranschlag";
  }
  return "Beleg";
}

bool Invoice(orders::DocumentKind kind) {
  return kind == orders::DocumentKind::Invoice || kind == orders::DocumentKind::CollectiveInvoice;
}

}  // namespace

std::string Fill(std::string_view text, const Fields& f) {
  const std::array<std::pair<std::string_view, const std::string*>, 6> kPlaceholders = {{
      {"{Belegart}", &f.kind},
      {"{Nummer}", &f.number},
      {"{Datum}", &f.date},
      {"{Betrag}", &f.amount},
      {"{Faellig}", &f.dueDate},
      {"{Firma}", &f.company},
  }};
  std::string out;
  std::size_t at = 0;
  while (at < text.size()) {
    bool replaced = false;
    if (text[at] == '{') {
      for (const auto& [name, value] : kPlaceholders) {
        if (text.substr(at, name.size()) == name) {
          out += *value;
          at += name.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) out += text[at++];
  }
  return out;
}

Fields OrderFields(frame::AppState& app, orders::DocumentKind kind,
                   const std::string& printDate) {
  // An invoice names the amount it states: the one of its issue, or for one
  // being issued now the one its lines give (its stored total may come from
  // other tax rates).
  store::OrderHead order = app.order;
  if (Invoice(kind))
    order.total = orders::StatedTotal(order, app.orderLines, orders::ParametersOfOrder(app, order));
  Fields f;
  f.kind = KindName(kind, order);
  f.number = std::to_string(order.orderNumber);
  const std::string invoiceDate(store::GetText(order.invoiceDate));
  f.date = Invoice(kind) && !printDate.empty() ? printDate
           : Invoice(kind) && !invoiceDate.empty() ? invoiceDate
                                                   : printDate;
  f.amount = frame::Money(app.figures, order.total / 100.0, CurrencyName(app.parameters, order.currency));
  f.dueDate = f.date;
  if (order.paymentPeriod > 0) {
    const orders::Date d = orders::ParseDate(f.date);
    if (d.year > 0) f.dueDate = orders::AddDaysToDate(d.day, d.month, d.year, order.paymentPeriod);
  }
  f.company = Utf8(store::GetText(app.parameters.companyName1));
  // The text says what the page says: no due date where it prints none.
  if (Invoice(kind) && order.total <= 0) f.noPaymentLine = "";
  if (Invoice(kind) && orders::PaidInFull(order)) f.noPaymentLine = "Betrag dankend erhalten.";
  return f;
}

Text DocumentText(const Settings& settings, orders::DocumentKind kind, const Fields& fields) {
  const std::string& body = Invoice(kind) ? settings.invoiceBody : settings.body;
  if (!fields.noPaymentLine) return {Fill(settings.subject, fields), Fill(body, fields)};
  std::string text;
  for (std::size_t at = 0; at < body.size();) {
    const std::size_t next = std::min(body.find('\n', at), body.size() - 1) + 1;
    const std::string_view line = std::string_view(body).substr(at, next - at);  // with its end
    if (line.find("{Faellig}") == std::string_view::npos)
      text += Fill(line, fields);
    else if (!fields.noPaymentLine->empty())  // else the line is left out, end and all
      text += *fields.noPaymentLine + (line.back() == '\n' ? "\n" : "");
    at = next;
  }
  return {Fill(settings.subject, fields), text};
}

}  // namespace mail
