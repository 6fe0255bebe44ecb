#include "mail/dunning_mail.h"

#include <algorithm>

#include "letters/dunning_renderer.h"
#include "letters/dunning_run.h"
#include "mail/address.h"
#include "mail/templates.h"
#include "platform/cp1252.h"
#include "store/text_field.h"

namespace mail {

std::vector<CustomerMail> MailDunningLetters(frame::AppState& app, const Settings& settings,
                                             const DunningRequest& request, const PdfMaker& pdf,
                                             const MailProgram& mailProgram,
                                             const PasswordSource& passwordSource,
                                             const Transmit& transmit) {
  printing::JobInputs inputs;
  inputs.printDate = request.date;
  inputs.dunningReprint = request.reprint;
  const auto items = letters::SelectDunning(app, letters::DunningOptionsOf(inputs), true);
  std::vector<std::int32_t> customers;
  for (const letters::DunningItem& item : items) {
    const std::int32_t customer = item.head.customerRef;  // a copy: the head is packed
    if (item.letter && std::find(customers.begin(), customers.end(), customer) == customers.end())
      customers.push_back(customer);
  }

  const bool smtp = settings.way == Way::Smtp;
  std::optional<std::string> password;
  bool asked = false;
  std::vector<CustomerMail> results;
  for (const std::int32_t customer : customers) {
    std::vector<letters::DunningItem> mine;
    for (const letters::DunningItem& item : items)
      if (item.head.customerRef == customer) mine.push_back(item);
    CustomerMail& result = results.emplace_back();
    const store::AddressRecord& address = mine.front().customer;
    result.name = platform::Cp1252ToUtf8(store::GetText(address.name2));
    result.to = platform::Cp1252ToUtf8(store::GetText(address.email));
    std::string numbers;
    for (const letters::DunningItem& item : mine)
      numbers += (numbers.empty() ? "" : ", ") + std::to_string(item.head.orderNumber);
    result.document = "Mahnung " + numbers;
    result.message = smtp ? AddressesProblem(settings, result.to)
                          : AddressProblem(result.to, "Empfänger");
    if (!result.message.empty()) continue;

    printing::PrintSession session;
    session.job = letters::kJobDunning;
    session.inputs = inputs;
    session.inputs.dunningCustomer = customer;
    std::string bytes;
    if (!pdf(session, bytes)) {
      result.message = "Das PDF der Mahnung kann nicht erzeugt werden.";
      continue;
    }
    Fields fields;
    fields.kind = "Mahnung";
    fields.number = numbers;
    fields.date = request.date;
    fields.company = platform::Cp1252ToUtf8(store::GetText(app.parameters.companyName1));
    DocumentMail mail;
    mail.document = result.document;
    mail.to = result.to;
    mail.subject = Fill(settings.dunningSubject, fields);
    mail.body = Fill(settings.dunningBody, fields);
    mail.attachments.push_back(
        {"Mahnung-" + std::to_string(mine.front().head.orderNumber) + ".pdf", "application/pdf", bytes});
    if (!smtp) {
      result.message = mailProgram(mail);
      result.sent = result.message.empty();
      continue;
    }
    if (!settings.user.empty() && !asked) {
      asked = true;
      password = passwordSource();
    }
    if (!settings.user.empty() && !password) {
      result.message = "Ohne Passwort wurde die E-Mail nicht gesendet.";
      continue;
    }
    const Outcome outcome = SendBySmtp(app, settings, password.value_or(""), mail, transmit);
    result.sent = outcome.sent;
    result.deliveryUnknown = outcome.deliveryUnknown;
    result.message = outcome.message;
    result.loginRefused = outcome.loginRefused;
    if (outcome.sent && request.issue && !letters::StoreDunningLevels(app, mine, request.date))
      result.message += (result.message.empty() ? "" : "\n") +
                        std::string("Die Mahnstufen konnten nicht gespeichert werden.");
  }
  return results;
}

}  // namespace mail
