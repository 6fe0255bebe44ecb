// A sample company and customer for the printing tests, and a small BMP
// written byte by byte.
#ifndef BELVON_TESTS_PRINTING_PRINTING_FIXTURE_H
#define BELVON_TESTS_PRINTING_PRINTING_FIXTURE_H

#include <cstdint>
#include <string>
#include <vector>

#include "platform/cp1252.h"
#include "store/address_record.h"
#include "store/parameter_record.h"
#include "store/text_field.h"

namespace printingtest {

template <std::size_t N>
void Put(char (&field)[N], const std::string& utf8) {
  store::SetText(field, platform::Utf8ToCp1252(utf8));
}

inline store::ParameterRecord SampleParameters() {
  store::ParameterRecord p{};
  Put(p.companyName1, "Schreinerei Holzwurm GmbH");
  Put(p.companyName2, "Inh. Anna Bäumer");
  Put(p.street, "Eichenweg 12");
  Put(p.town, "34117 Kassel");
  Put(p.phone, "0561 123456");
  Put(p.mobile, "0171 9876543");
  Put(p.fax, "0561 123457");
  Put(p.email, "info@holzwurm.example");
  Put(p.vatId, "DE123456789");
  Put(p.bank1Name, "Kasseler Sparkasse");
  Put(p.bank1Iban, "DE12 5205 0353 0000 1234 56");
  Put(p.bank2Name, "Volksbank Kassel");
  Put(p.bank2SortCode, "520 900 00");
  Put(p.bank2Account, "987654");
  Put(p.letterheadLine1, "Schreinerei Holzwurm");
  Put(p.letterheadLine2, "Möbel nach Maß · Innenausbau");
  Put(p.letterheadLine3, "Eichenweg 12, 34117 Kassel");
  Put(p.letterheadLine4, "Telefon 0561 123456");
  p.printLetterhead = 1;
  p.printFooter = 1;
  p.printBar = 1;
  p.addressWindow = 1;
  p.printPreview = 1;
  return p;
}

inline store::AddressRecord SampleAddress() {
  store::AddressRecord a{};
  a.length = 1192;
  a.kind = store::kAddressCustomer;
  Put(a.customerNumber, "10001");
  a.salutation = store::kSalutationMr;
  Put(a.name1, "Dr. Hans");
  Put(a.name2, "Müller");
  Put(a.street, "Königstraße 5");
  Put(a.town, "34119 Kassel");
  return a;
}

// A 24-bit bottom-up BMP, `width` x `height`, left half red, right half blue.
inline std::vector<std::uint8_t> SampleBmp(int width, int height) {
  const int stride = (width * 24 + 31) / 32 * 4;
  const std::uint32_t imageSize = static_cast<std::uint32_t>(stride * height);
  std::vector<std::uint8_t> b(54 + imageSize, 0);
  auto u16 = [&](std::size_t at, std::uint32_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
  };
  auto u32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
  };
  b[0] = 'B';
  b[1] = 'M';
  u32(2, static_cast<std::uint32_t>(b.size()));
  u32(10, 54);
  u32(14, 40);
  u32(18, static_cast<std::uint32_t>(width));
  u32(22, static_cast<std::uint32_t>(height));
  u16(26, 1);
  u16(28, 24);
  u32(34, imageSize);
  for (int row = 0; row < height; ++row)
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = &b[54 + row * stride + 3 * x];
      if (x < width / 2) p[2] = 0xC0; else p[0] = 0xC0;  // B, G, R order
    }
  return b;
}

}  // namespace printingtest

#endif  // BELVON_TESTS_PRINTING_PRINTING_FIXTURE_H
