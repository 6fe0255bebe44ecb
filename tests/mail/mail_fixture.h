// What the mail tests start from: the test's own server on 127.0.0.1 and
// a customer with his e-mail address and an order.
#ifndef BELVON_TESTS_MAIL_MAIL_FIXTURE_H
#define BELVON_TESTS_MAIL_MAIL_FIXTURE_H

#include "mail/mail_settings.h"
#include "store/address_file.h"
#include "store/order_file.h"
#include "store/records_test_support.h"

namespace mailtest {

// No encryption, the login "buero", a second's patience; the port is the
// server's.
inline mail::Settings LocalSettings() {
  mail::Settings settings;
  settings.server = "127.0.0.1";
  settings.security = mail::Security::None;
  settings.sender = "buero@example.de";
  settings.user = "buero";
  settings.timeoutSeconds = 1;
  return settings;
}

// Meier (meier@example.org) and an order of his with one line, both
// current.
inline void MeierWithAnOrder(frame::AppState& app) {
  store::AddressRecord customer = testsupport::MakeAddress("Meier", "7");
  store::SetText(customer.email, "meier@example.org");
  std::int32_t position = -1;
  store::WriteAddress(app, customer, position, true);
  store::ReadAddress(app, app.address, position);
  app.addresses.position = position;
  testsupport::AddOrder(app, 0, {{"Tisch"}});
  store::ReadOrder(app, app.order, app.orders.position);
}

}  // namespace mailtest

#endif  // BELVON_TESTS_MAIL_MAIL_FIXTURE_H
