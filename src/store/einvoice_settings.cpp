#include "store/einvoice_settings.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <sstream>

#include "store/field_rules.h"
#include "platform/file_reading.h"
#include "platform/output_file.h"
#include "platform/utf8.h"
#include "store/settings_lines.h"

namespace einvoice {

namespace {

struct ExemptionInfo {
  std::string_view category, reason, code, name, key;
};

constexpr std::array<ExemptionInfo, kExemptionCount> kExemptions = {{
    {"E", "Kein Ausweis von Umsatzsteuer, da Kleinunternehmer gemäß § 19 UStG", "",
     "Kleinunternehmer (§ 19 UStG)", "Kleinunternehmer"},
    {"AE", "Steuerschuldnerschaft des Leistungsempfängers (§ 13b UStG)", "VATEX-EU-AE",
     "Steuerschuldnerschaft des Leistungsempfängers", "ReverseCharge"},
    {"K", "Steuerfreie innergemeinschaftliche Lieferung (§ 4 Nr. 1b UStG)", "VATEX-EU-IC",
     "Innergemeinschaftliche Lieferung", "Innergemeinschaftlich"},
    {"G", "Steuerfreie Ausfuhrlieferung (§ 4 Nr. 1a UStG)", "VATEX-EU-G", "Ausfuhr",
     "Ausfuhr"},
    {"O", "Nicht im Inland steuerbare Leistung", "VATEX-EU-O", "Nicht steuerbar",
     "NichtSteuerbar"},
}};

// No reason chosen: no category, no text.
constexpr ExemptionInfo kUnset{"", "", "", "", ""};

const ExemptionInfo& Info(Exemption e) {
  const int i = static_cast<int>(e);
  return i >= 0 && i < kExemptionCount ? kExemptions[static_cast<std::size_t>(i)] : kUnset;
}

std::string Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return std::string(text.substr(first, last - first + 1));
}

std::string UpperCountry(std::string_view text, const char* fallback) {
  std::string code = Trim(text);
  for (char& c : code)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  const bool valid = code.size() == 2 && code[0] >= 'A' && code[0] <= 'Z' && code[1] >= 'A' &&
                     code[1] <= 'Z';
  return valid ? code : fallback;
}

// One value on one line: line breaks would start a key of their own.
std::string OneLine(const std::string& text) {
  std::string out = text;
  for (char& c : out)
    if (c == '\n' || c == '\r') c = ' ';
  return out;
}

}  // namespace

std::string_view ExemptionCategory(Exemption e) { return Info(e).category; }
std::string_view StandardExemptionReason(Exemption e) { return Info(e).reason; }
std::string_view ExemptionReasonCode(Exemption e) { return Info(e).code; }
std::string_view ExemptionName(Exemption e) { return Info(e).name; }

std::string ExemptionReason(const Settings& settings) {
  return settings.exemptionReason.empty() ? std::string(StandardExemptionReason(settings.exemption))
                                          : settings.exemptionReason;
}

Settings ParseSettings(std::string_view text, std::string* problem) {
  Settings s;
  std::string refused;
  store::ForEachSetting(text, "ERECHNUNG.INI", refused, [&](const std::string& key, const std::string& value) {
    if (key == "Steuernummer") {
      s.taxNumber = value;
    } else if (key == "Befreiung") {
      for (int i = 0; i < kExemptionCount; ++i)
        if (value == kExemptions[i].key) s.exemption = static_cast<Exemption>(i);
    } else if (key == "Befreiungsgrund") {
      s.exemptionReason = value;
    } else if (key == "LandVerkaeufer") {
      s.sellerCountry = UpperCountry(value, "DE");
    } else if (key == "LandKaeufer") {
      s.buyerCountry = UpperCountry(value, "DE");
    } else if (key == "Kaeuferreferenz") {
      if (value == "Auftragsnummer") s.buyerReference = BuyerReference::OrderNumber;
      if (value == "Text") s.buyerReference = BuyerReference::FixedText;
    } else if (key == "KaeuferreferenzText") {
      s.buyerReferenceText = value;
    } else if (key == "Leistungsdatum") {
      if (value == "Auftragsdatum") s.serviceDate = ServiceDate::OrderDate;
    } else if (key == "Ordner") {
      s.folder = value;
    } else if (key == "Pflichtangaben") {
      s.legalLines = value != "0";
    } else if (key == "Waehrungscodes") {
      s.currencyCodes = value;
    } else if (key == "GiroCode") {
      s.giroCode = value != "0";
    } else if (key == "ZUGFeRD") {
      s.pdfEInvoice = value == "1";
    } else if (key == "ZUGFeRDRichtlinie") {
      if (value == "XRechnung") s.pdfGuideline = PdfGuideline::XRechnung;
      if (value == "EN16931") s.pdfGuideline = PdfGuideline::EN16931;
    }
  });
  if (problem)
    *problem = refused.empty() ? std::string()
                               : refused + "Bitte im Dialog \"E-Rechnung\" neu eingeben und speichern.";
  return s;
}

std::string SettingsText(const Settings& s) {
  static const char* const kReferences[] = {"Kundennummer", "Auftragsnummer", "Text"};
  std::ostringstream out;
  out << "[E-Rechnung]\n"
      << "Steuernummer=" << OneLine(s.taxNumber) << '\n'
      << "Befreiung=" << Info(s.exemption).key << '\n'
      << "Befreiungsgrund=" << OneLine(s.exemptionReason) << '\n'
      << "LandVerkaeufer=" << UpperCountry(s.sellerCountry, "DE") << '\n'
      << "LandKaeufer=" << UpperCountry(s.buyerCountry, "DE") << '\n'
      << "Kaeuferreferenz=" << kReferences[static_cast<int>(s.buyerReference)] << '\n'
      << "KaeuferreferenzText=" << OneLine(s.buyerReferenceText) << '\n'
      << "Leistungsdatum="
      << (s.serviceDate == ServiceDate::OrderDate ? "Auftragsdatum" : "Rechnungsdatum") << '\n'
      << "Ordner=" << OneLine(s.folder) << '\n'
      << "Pflichtangaben=" << (s.legalLines ? 1 : 0) << '\n'
      << "Waehrungscodes=" << OneLine(s.currencyCodes) << '\n'
      << "GiroCode=" << (s.giroCode ? 1 : 0) << '\n';
  out << "ZUGFeRD=" << (s.pdfEInvoice ? 1 : 0) << '\n'
      << "ZUGFeRDRichtlinie="
      << (s.pdfGuideline == PdfGuideline::XRechnung ? "XRechnung" : "EN16931") << '\n';
  return out.str();
}

std::string CurrencyCode(std::string_view symbol, const Settings& settings) {
  const std::string wanted = Trim(symbol);
  // "Symbol:Code" pairs, separated by semicolons.
  std::string_view pairs = settings.currencyCodes;
  while (!pairs.empty()) {
    const std::size_t end = std::min(pairs.find(';'), pairs.size());
    const std::string_view pair = pairs.substr(0, end);
    pairs.remove_prefix(std::min(end + 1, pairs.size()));
    const std::size_t colon = pair.rfind(':');
    if (colon == std::string_view::npos || Trim(pair.substr(0, colon)) != wanted) continue;
    std::string code = Trim(pair.substr(colon + 1));
    for (char& c : code)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return CurrencyCodeValid(code) ? code : std::string();
  }
  std::string upper = wanted;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (CurrencyCodeValid(upper)) return upper;
  if (wanted == "€") return "EUR";
  if (upper == "SFR") return "CHF";
  if (wanted == "£") return "GBP";
  return {};
}

Settings LoadSettings(const std::string& dataDirectory, std::string* problem) {
  return store::LoadDirectorySettings<Settings>(
      dataDirectory, kSettingsFileName, kSettingsFileMax, problem,
      [](std::string_view text, std::string* why) { return ParseSettings(text, why); });
}

bool SaveSettings(const std::string& dataDirectory, const Settings& settings) {
  return store::SaveDirectorySettings(dataDirectory, kSettingsFileName, SettingsText(settings));
}

bool StartNewDirectorySettings(const std::string& dataDirectory) {
  const std::string path = dataDirectory + kSettingsFileName;
  std::string text;
  if (platform::ReadRegularFile(platform::SystemFileSystem(), path, kSettingsFileMax, text) !=
      platform::ReadRefusal::Missing)
    return true;
  Settings settings;
  settings.pdfEInvoice = true;
  return SaveSettings(dataDirectory, settings);
}

}  // namespace einvoice
