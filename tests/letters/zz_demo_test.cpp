#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include "../printing/printing_fixture.h"
#include "support/order_book.h"
#include "frame/parameter_file.h"

TEST(Demo, Make) {
  testsupport::OrderBook b;
  auto& app = b.app;
  app.parameters = printingtest::SampleParameters();
  store::ParameterRecord& p = app.parameters;
  p.dunningPeriods[0] = 14; p.dunningPeriods[1] = 28; p.dunningPeriods[2] = 42;
  p.dunningFees[1] = 5;
  store::SetText(p.dunningTitle1, "Zahlungserinnerung");
  store::SetText(p.dunningTitle2, "2. Mahnung");
  store::SetText(p.dunningText1, "/tmp/letters_demo_texts/stufe1.txt");
  store::SetText(p.dunningText2, "/tmp/letters_demo_texts/stufe2.txt");
  store::SetText(p.currencySymbol1, "EUR");
  std::filesystem::create_directories("/tmp/letters_demo_texts");
  std::ofstream("/tmp/letters_demo_texts/stufe2.txt", std::ios::binary) << "Sehr geehrte Damen und Herren,\r\n\r\nleider konnten wir bis heute keinen Zahlungseingang feststellen.\r\nBitte \xFC" "berweisen Sie den Betrag innerhalb von 7 Tagen.";
  frame::SaveParameters(app);
  store::AddressRecord a = printingtest::SampleAddress();
  std::int32_t pos = -1;
  store::WriteAddress(app, a, pos, true);
  store::ReadAddress(app, app.address, pos);
  app.addresses.position = pos;
  std::int32_t ref = app.addresses.entry.offset;
  b.order(ref, store::kOrderInvoicePrinted, {{1, 12345}}, "06.11.2026");
  b.order(ref, store::kOrderInvoicePrinted, {{1, 5000}}, "20.11.2026");
  store::AddressRecord c{}; c.length = 1192; c.kind = store::kAddressCustomer; c.salutation = store::kSalutationCompany;
  printingtest::Put(c.name1, "Bauunternehmen"); printingtest::Put(c.name2, "Schulz & Co. KG"); printingtest::Put(c.street, "Werkstraße 9"); printingtest::Put(c.town, "34123 Kassel");
  printingtest::Put(c.deliveryLine1, "Baustelle Neubau"); printingtest::Put(c.deliveryLine2, "Schulz & Co. KG"); printingtest::Put(c.deliveryLine3, "z. Hd. Herrn Polier Groß"); printingtest::Put(c.deliveryLine4, "Am Hang 4"); printingtest::Put(c.deliveryLine5, "34128 Kassel");
  pos = -1;
  store::WriteAddress(app, c, pos, true);
  std::filesystem::remove_all("/tmp/letters_demo");
  std::filesystem::copy(b.dir.path(), "/tmp/letters_demo", std::filesystem::copy_options::recursive);
}
