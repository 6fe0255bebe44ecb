#include "datev/debtor_file.h"

#include <cctype>

#include "datev/extf_file.h"
#include "platform/cp1252.h"
#include "store/text_field.h"

namespace datev {

namespace {

// Column positions (0-based) of the fields the file fills; the file ends
// after the first bank connection (the columns after it stay unset).
enum Column : std::size_t {
  kAccount = 0, kCompanyName = 1, kAddresseeType = 6, kShortName = 7, kEuCountry = 8,
  kEuVatId = 9, kAddressKind = 14, kStreet = 15, kPostcode = 17, kTown = 18, kCountry = 19,
  kPhone = 28, kEmail = 32, kFax = 36,
};

std::vector<std::string> MakeColumns() {
  std::vector<std::string> c = {
      "Konto", "Name (Adressatentyp Unternehmen)", "Unternehmensgegenstand",
      "Name (Adressatentyp natürl. Person)", "Vorname (Adressatentyp natürl. Person)",
      "Name (Adressatentyp keine Angabe)", "Adressatentyp", "Kurzbezeichnung", "EU-Land",
      "EU-UStID", "Anrede", "Titel/Akad. Grad", "Adelstitel", "Namensvorsatz", "Adressart",
      "Straße", "Postfach", "Postleitzahl", "Ort", "Land", "Versandzusatz", "Adresszusatz",
      "Abweichende Anrede", "Abw. Zustellbezeichnung 1", "Abw. Zustellbezeichnung 2",
      "Kennz. Korrespondenzadresse", "Adresse Gültig von", "Adresse Gültig bis", "Telefon",
      "Bemerkung (Telefon)", "Telefon GL", "Bemerkung (Telefon GL)", "E-Mail",
      "Bemerkung (E-Mail)", "Internet", "Bemerkung (Internet)", "Fax", "Bemerkung (Fax)",
      "Sonstige", "Bemerkung (Sonstige)", "Bankleitzahl 1", "Bankbezeichnung 1",
      "Bank-Kontonummer 1", "Länderkennzeichen 1", "IBAN-Nr. 1", "Leerfeld", "SWIFT-Code 1",
      "Abw. Kontoinhaber 1", "Kennz. Hauptbankverb. 1", "Bankverb 1 Gültig von",
      "Bankverb 1 Gültig bis"};
  for (std::string& name : c) name = platform::Utf8ToCp1252(name);
  return c;
}

}  // namespace

const std::vector<std::string>& DebtorColumns() {
  static const std::vector<std::string> columns = MakeColumns();
  return columns;
}

std::string DebtorFileText(const Settings& settings, const platform::LocalTime& createdAt,
                           const std::string& from, const std::map<std::string, Debtor>& debtors) {
  ExtfHeader header = SettingsHeader(settings, createdAt, from);
  header.category = kDebtorCategory;
  header.formatName = "Debitoren/Kreditoren";
  header.formatVersion = kDebtorFormatVersion;
  header.label = "Debitoren";
  ExtfWriter file(header, DebtorColumns());
  std::vector<std::string> row;
  for (const auto& [account, debtor] : debtors) {
    const store::AddressRecord& a = debtor.address;
    row.assign(DebtorColumns().size(), std::string());
    std::string name(store::GetText(a.name1));
    if (!name.empty() && !store::GetText(a.name2).empty()) name += ' ';
    name += store::GetText(a.name2);
    row[kAccount] = account;
    row[kCompanyName] = Quoted(name, 50);
    row[kAddresseeType] = Quoted("2");  // a company: the invoice's name lines, unsplit
    std::string shortName = name.substr(0, 15);
    shortName.erase(shortName.find_last_not_of(' ') + 1);
    row[kShortName] = Quoted(shortName);
    // "DE123456789": the country apart from the number.
    const std::string vatId(store::GetText(a.vatId));
    if (vatId.size() > 2 && std::isalpha(static_cast<unsigned char>(vatId[0])) &&
        std::isalpha(static_cast<unsigned char>(vatId[1]))) {
      row[kEuCountry] = Quoted(vatId.substr(0, 2));
      row[kEuVatId] = Quoted(vatId.substr(2), 13);
    }
    row[kAddressKind] = Quoted("STR");
    row[kStreet] = Quoted(store::GetText(a.street), 36);
    // The town field holds "postcode town".
    std::string town(store::GetText(a.town));
    const std::size_t space = town.find(' ');
    if (space != std::string::npos && space > 0 && std::isdigit(static_cast<unsigned char>(town[0]))) {
      row[kPostcode] = Quoted(town.substr(0, space), 10);
      town = town.substr(space + 1);
    }
    row[kTown] = Quoted(town, 30);
    row[kPhone] = Quoted(store::GetText(a.phone), 60);
    row[kEmail] = Quoted(store::GetText(a.email), 60);
    row[kFax] = Quoted(store::GetText(a.fax), 60);
    file.row(row);
  }
  return file.text();
}

}  // namespace datev
