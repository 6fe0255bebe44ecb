// The settings of electronic invoices that the parameter file has no room
// for, in "ERECHNUNG.INI" in the data directory, so that every workstation
// on the directory shares them. A missing file or key gives the default.
//
// The file is plain "Key=Value" lines under "[E-Rechnung]", UTF-8. A value
// that is not UTF-8 (the file saved by an editor in another code page) is
// not taken: its default stands, and the user is told which key it was, so
// that no such bytes reach a printed or an electronic invoice.
#ifndef BELVON_STORE_EINVOICE_SETTINGS_H
#define BELVON_STORE_EINVOICE_SETTINGS_H

#include <cstdint>
#include <string>
#include <string_view>

namespace einvoice {

inline constexpr const char* kSettingsFileName = "ERECHNUNG.INI";

// What lines of tax code 1 (no tax) are, in the codes of the VAT categories.
// The reason tax-free lines carry no tax; Unset until the user chose one
// (a tax-free line then keeps an invoice from being issued).
enum class Exemption { SmallBusiness, ReverseCharge, IntraCommunity, Export, NotTaxable, Unset };
inline constexpr int kExemptionCount = 5;

// Where the buyer reference comes from.
enum class BuyerReference { CustomerNumber, OrderNumber, FixedText };

// The date of the supply or service.
enum class ServiceDate { OrderDate, InvoiceDate };

// The guideline a PDF invoice's attached e-invoice names: EN 16931
// itself, or the XRechnung (which keeps to it).
enum class PdfGuideline { EN16931, XRechnung };

struct Settings {
  std::string taxNumber;  // Steuernummer, beside the VAT ID of the master data
  Exemption exemption = Exemption::Unset;
  std::string exemptionReason;  // empty: the standard text of the category
  std::string sellerCountry = "DE";
  std::string buyerCountry = "DE";
  BuyerReference buyerReference = BuyerReference::CustomerNumber;
  std::string buyerReferenceText;  // for FixedText
  ServiceDate serviceDate = ServiceDate::InvoiceDate;
  std::string folder;  // where e-invoice files are saved; empty: the data directory
  bool legalLines = true;  // service date, tax base, tax number, exemption on paper
  // The ISO 4217 code of currency symbols that are none: "SFR:CHF; £:GBP".
  std::string currencyCodes;
  bool giroCode = true;  // the EPC QR code to pay by on invoices in euros
  // Invoices, credit notes and collective invoices written as PDF are
  // PDF/A-3 with their e-invoice attached (ZUGFeRD / Factur-X). Off while
  // the key is missing; a new data directory starts with it on.
  bool pdfEInvoice = false;
  PdfGuideline pdfGuideline = PdfGuideline::EN16931;
};

// The ISO 4217 code of a currency symbol of the master data: the code the
// settings give the symbol, else the symbol itself when it is a code (in
// capitals), else the code of a common symbol ("€" EUR, "SFR" CHF, "£"
// GBP); empty when none fits.
std::string CurrencyCode(std::string_view symbol, const Settings& settings);

// The code of the VAT category ("E", "AE", "K", "G", "O") and its standard
// reason and exemption code; the name shown in the settings dialog.
std::string_view ExemptionCategory(Exemption exemption);
std::string_view StandardExemptionReason(Exemption exemption);
std::string_view ExemptionReasonCode(Exemption exemption);
std::string_view ExemptionName(Exemption exemption);
// The reason printed and sent: the typed one, else the standard text.
std::string ExemptionReason(const Settings& settings);

// Largest ERECHNUNG.INI read: a few hundred bytes are expected.
inline constexpr std::uint64_t kSettingsFileMax = 64 * 1024;

// Reads ERECHNUNG.INI of the data directory (a prefix with its separator).
// `problem` (when given) gets the message naming every key whose value was
// refused, empty when there was none.
// A missing file gives the defaults; so does one that is refused (no
// regular file, too large, unreadable), and `problem` then says why.
Settings LoadSettings(const std::string& dataDirectory, std::string* problem = nullptr);
// Writes it whole; false when the file cannot be written.
bool SaveSettings(const std::string& dataDirectory, const Settings& settings);

// A new data directory: ERECHNUNG.INI, when there is none yet, is written
// with PDF invoices carrying their e-invoice. False when it cannot be written.
bool StartNewDirectorySettings(const std::string& dataDirectory);

// The text form of the file and back (what LoadSettings and SaveSettings
// read and write).
std::string SettingsText(const Settings& settings);
Settings ParseSettings(std::string_view text, std::string* problem = nullptr);

}  // namespace einvoice

#endif  // BELVON_STORE_EINVOICE_SETTINGS_H
