// Subject and text of a document's mail, from the templates of the
// settings with their placeholders filled in.
#ifndef BELVON_MAIL_TEMPLATES_H
#define BELVON_MAIL_TEMPLATES_H

#include <optional>
#include <string>
#include <string_view>

#include "mail/mail_settings.h"
#include "orders/issuing.h"
#include "store/app_state.h"

namespace mail {

// What the placeholders stand for, as the document prints them.
struct Fields {
  std::string kind;     // {Belegart}: "Rechnung", "Angebot", ...
  std::string number;   // {Nummer}: the order number
  std::string date;     // {Datum}: the invoice date of an invoice, else the print date
  std::string amount;   // {Betrag}: the total with its currency
  std::string dueDate;  // {Faellig}: the date the payment period ends; the date itself without one
  std::string company;  // {Firma}: the first company line of the master data
  // What stands instead of a line that names {Faellig} when the document
  // asks for no payment, as its page prints no terms then: "Betrag dankend
  // erhalten." for an invoice paid in full, nothing (the line left out) for
  // a credit note. None while payment is asked for.
  std::optional<std::string> noPaymentLine;
};

// Every known placeholder replaced; an unknown one ("{Foo}") stays as typed.
std::string Fill(std::string_view text, const Fields& fields);

// The fields of a document of the order current in `app`, drawn on
// `printDate` (the invoice date an invoice is issued with, when there is one).
Fields OrderFields(frame::AppState& app, orders::DocumentKind kind,
                   const std::string& printDate);

struct Text {
  std::string subject, body;
};
// The subject and text of the document's mail: the invoice text for
// invoices and collective invoices, the other text for every other kind;
// a line naming {Faellig} gives way to `noPaymentLine` when that is set.
Text DocumentText(const Settings& settings, orders::DocumentKind kind, const Fields& fields);

}  // namespace mail

#endif  // BELVON_MAIL_TEMPLATES_H
