#include "datanorm/address_export.h"

#include <string>
#include <string_view>

#include "core/user_interface.h"
#include "platform/output_file.h"
#include "store/address_file.h"
#include "store/bytes.h"
#include "store/data_file.h"
#include "store/indexed_file.h"
#include "store/text_field.h"

namespace datanorm {

namespace {

using platform::Access;
using platform::Share;

// The salutation value with its own ";": the first bit set decides.
const char* Salutation(std::uint8_t bits) {
  if (bits & store::kSalutationCompany) return "Firma;";
  if (bits & store::kSalutationMr) return "Herrn;";
  if (bits & store::kSalutationMrs) return "Frau;";
  if (bits & store::kSalutationAn) return "An;";
  return ";";
}

void Value(std::string& line, std::string_view text, char after = ';') {
  for (char c : text) line += c == ';' ? ',' : c;
  line += after;
}

std::string AddressLine(const store::AddressRecord& a) {
  std::string line = Salutation(a.salutation);
  for (std::string_view text :
       {store::GetText(a.name1), store::GetText(a.name2), store::GetText(a.name3),
        store::GetText(a.street), store::GetText(a.town), store::GetText(a.phone),
        store::GetText(a.fax), store::GetText(a.mobile), store::GetText(a.email)})
    Value(line, text);
  // The customer number goes out as it is, behind the ten named values.
  line += store::GetText(a.customerNumber);
  line += "\r\n";
  return line;
}

}  // namespace

int ExportAddresses(frame::AppState& app) {
  platform::File data = store::OpenData(app, store::kAddressDataName, Access::Read, Share::DenyWrite);
  if (!data) return 0;
  platform::File index =
      store::OpenData(app, store::kAddressIndexName, Access::Read, Share::DenyWrite);
  store::IndexBlock block;
  if (!index || !store::AddressFile(app).ReadIndex(index, block) || block.count == 0) return 0;
  const std::int64_t size = data.size();
  if (size < 0) return 0;
  if (app.ui) app.ui->beginProgress();
  std::string text = "Anrede;Name 1;Name 2;Name 3;Strasse;PLZ Ort;Telefon;Telefax;Handy;Mailadresse\r\n";
  store::AddressRecord address{};
  for (std::int32_t i = 0; i < block.count; ++i) {
    // An entry pointing beyond the records is passed over.
    if (block.recordOffset(i) >= static_cast<std::uint64_t>(size)) continue;
    if (store::ReadFramedRecord(data, block.recordOffset(i), store::AsBytes(address), true) < 0)
      continue;
    if (store::MatchAddress(app.addressCriteria, address)) text += AddressLine(address);
  }
  // Written beside and renamed over: a link in the data directory named
  // ADRESSEN.TXT is replaced, never written through.
  const bool written = platform::WriteOutputFile(*app.fileSystem, app.path(kAddressExportName), text);
  if (app.ui) app.ui->endProgress();
  if (!written && app.ui)
    app.ui->message(platform::OutputFailureText(app.path(kAddressExportName)), frame::Icon::Stop);
  return written ? 1 : 0;
}

}  // namespace datanorm
