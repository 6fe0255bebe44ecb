#include "datev/booking_batch.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/dates.h"
#include "orders/cancellation.h"
#include "orders/cash_discount.h"
#include "orders/issue_statement.h"
#include "platform/cp1252.h"
#include "reports/invoice_journal.h"
#include "reports/order_scan.h"
#include "datev/extf_file.h"
#include "store/einvoice_settings.h"
#include "store/issue_file.h"
#include "store/text_field.h"

namespace datev {

namespace {

// Field widths of the format.
constexpr std::size_t kDocumentWidth = 36;
constexpr std::size_t kTextWidth = 60;

// Column positions (0-based) of the fields the batch fills.
enum Column : std::size_t {
  kAmount = 0, kSide = 1, kCurrency = 2, kRate = 3, kBaseAmount = 4, kBaseCurrency = 5,
  kAccount = 6, kContraAccount = 7, kDocumentDate = 9, kDocument1 = 10, kCashDiscount = 12,
  kText = 13, kServiceDate = 114,
};

std::vector<std::string> MakeColumns() {
  std::vector<std::string> c = {
      "Umsatz (ohne Soll/Haben-Kz)", "Soll/Haben-Kennzeichen", "WKZ Umsatz", "Kurs",
      "Basis-Umsatz", "WKZ Basis-Umsatz", "Konto", "Gegenkonto (ohne BU-Schlüssel)",
      "BU-Schlüssel", "Belegdatum", "Belegfeld 1", "Belegfeld 2", "Skonto", "Buchungstext",
      "Postensperre", "Diverse Adressnummer", "Geschäftspartnerbank", "Sachverhalt",
      "Zinssperre", "Beleglink"};
  for (int i = 1; i <= 8; ++i) {
    c.push_back("Beleginfo - Art " + std::to_string(i));
    c.push_back("Beleginfo - Inhalt " + std::to_string(i));
  }
  for (const char* name :
       {"KOST1 - Kostenstelle", "KOST2 - Kostenstelle", "Kost-Menge", "EU-Land u. UStID (Bestimmung)",
        "EU-Steuersatz (Bestimmung)", "Abw. Versteuerungsart", "Sachverhalt L+L",
        "Funktionsergänzung L+L", "BU 49 Hauptfunktionstyp", "BU 49 Hauptfunktionsnummer",
        "BU 49 Funktionsergänzung"})
    c.push_back(name);
  for (int i = 1; i <= 20; ++i) {
    c.push_back("Zusatzinformation - Art " + std::to_string(i));
    c.push_back("Zusatzinformation - Inhalt " + std::to_string(i));
  }
  for (const char* name :
       {"Stück", "Gewicht", "Zahlweise", "Forderungsart", "Veranlagungsjahr",
        "Zugeordnete Fälligkeit", "Skontotyp", "Auftragsnummer", "Buchungstyp",
        "USt-Schlüssel (Anzahlungen)", "EU-Mitgliedstaat (Anzahlungen)",
        "Sachverhalt L+L (Anzahlungen)", "EU-Steuersatz (Anzahlungen)",
        "Erlöskonto (Anzahlungen)", "Herkunft-Kz", "Buchungs GUID", "KOST-Datum",
        "SEPA-Mandatsreferenz", "Skontosperre", "Gesellschaftername", "Beteiligtennummer",
        "Identifikationsnummer", "Zeichnernummer", "Postensperre bis",
        "Bezeichnung SoBil-Sachverhalt", "Kennzeichen SoBil-Buchung", "Festschreibung",
        "Leistungsdatum", "Datum Zuord. Steuerperiode", "Fälligkeit", "Generalumkehr (GU)",
        "Steuersatz", "Land", "Abrechnungsreferenz", "BVV-Position",
        "EU-Mitgliedstaat u. UStID (Ursprung)", "EU-Steuersatz (Ursprung)",
        "Abw. Skontokonto"})
    c.push_back(name);
  // The names are written in the code page of the file.
  for (std::string& name : c) name = platform::Utf8ToCp1252(name);
  return c;
}

bool Digits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// The account a payment went to: the one typed as "Konto" when it is one of
// the chart (digits of the account length), cash when it says so, else the bank.
std::string PaymentAccount(const Settings& settings, std::string_view typed) {
  const std::string account = Trimmed(typed);
  if (Digits(account) && static_cast<int>(account.size()) == settings.accountLength) return account;
  const std::string word = Lower(account);
  if (word == "kasse" || word == "bar") return settings.cash;
  return settings.bank;
}

void AddOnce(std::vector<std::int32_t>& list, std::int32_t number) {
  if (list.empty() || list.back() != number) list.push_back(number);
}

std::string NumberList(const std::vector<std::int32_t>& numbers) {
  std::string text;
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    if (i == 20) return text + " und " + std::to_string(numbers.size() - i) + " weitere";
    if (i) text += ", ";
    text += std::to_string(numbers[i]);
  }
  return text;
}

// Currency, rate and base amount of a row in the order's currency.
struct CurrencyOf {
  std::string code, base;
  double rate = 0;
};

CurrencyOf CurrencyOfOrder(const store::ParameterRecord& parameters,
                           const einvoice::Settings& einvoiceSettings, int currency,
                           std::string_view symbol) {
  CurrencyOf c;
  c.base = einvoice::CurrencyCode(store::GetText(parameters.currencySymbol1), einvoiceSettings);
  if (c.base.empty()) c.base = "EUR";
  c.code = currency == 0 ? c.base : einvoice::CurrencyCode(symbol, einvoiceSettings);
  if (c.code.empty()) c.code = c.base;
  if (currency > 0 && currency < 4 && c.code != c.base) {
    const float rate = parameters.exchangeRates[currency];
    if (rate > 0) c.rate = rate;
  }
  return c;
}

void SetCurrency(Booking& booking, const CurrencyOf& c) {
  booking.currency = c.code;
  if (c.rate <= 0) return;
  booking.exchangeRate = c.rate;
  booking.baseAmount = static_cast<std::int64_t>(static_cast<double>(booking.amount) / c.rate + 0.5);
  booking.baseCurrency = c.base;
}

}  // namespace

const std::vector<std::string>& BatchColumns() {
  static const std::vector<std::string> columns = MakeColumns();
  return columns;
}

std::string DebtorAccount(const Settings& settings, std::string_view customerNumber) {
  const std::string number = Trimmed(customerNumber);
  if (settings.debtors == Debtors::Collective) return {};
  if (!Digits(number) || number.size() > 9 || !Digits(settings.debtorStart)) return {};
  const long long account = std::stoll(settings.debtorStart) + std::stoll(number);
  const std::string text = std::to_string(account);
  if (static_cast<int>(text.size()) != settings.accountLength + 1 || text[0] > '6') return {};
  return text;
}

std::string FinancialYearStart(const Settings& settings, const std::string& date) {
  const orders::Date d = orders::ParseDate(date);
  const bool before = d.month < settings.yearStartMonth ||
                      (d.month == settings.yearStartMonth && d.day < settings.yearStartDay);
  return orders::DateText(settings.yearStartDay, settings.yearStartMonth,
                          before ? d.year - 1 : d.year);
}

std::string RangeProblem(const Settings& settings, const std::string& from, const std::string& to) {
  if (orders::DayNumber(from) > orders::DayNumber(to))
    return "Das Datum \"von\" liegt nach dem Datum \"bis\".";
  if (FinancialYearStart(settings, from) != FinancialYearStart(settings, to))
    return "Ein Buchungsstapel umfasst höchstens ein Wirtschaftsjahr (Beginn " +
           FinancialYearStart(settings, to) + "); bitte den Zeitraum teilen.";
  return {};
}

Batch CollectBatch(frame::AppState& app, const Settings& settings, const std::string& from,
                   const std::string& to, bool payments,
                   const std::function<void(const std::string&)>& reportDamaged) {
  Batch batch;
  store::IssueBook book;
  store::ReadIssueBook(app, book);
  reports::CustomerBook customers(app);
  const einvoice::Settings einvoiceSettings = einvoice::LoadSettings(app.dataDirectory);
  const reports::ScanResult scan =
      reports::ScanOrders(app, true, reportDamaged, [&](const reports::ScannedOrder& order) {
    const store::OrderHead& head = order.head;
    const store::AddressRecord& customer = customers.at(head.customerRef);
    const bool invoiced = reports::InJournal(head, order.lines, from, to);
    // A cancellation settles the invoice with its credit note: that is no
    // money, and the two rows on the debtor already net to zero.
    const bool paid = payments && orders::IssuedAsInvoice(head) && head.paid != 0 &&
                      store::GetText(head.account) != orders::kCancelledNote &&
                      orders::DateInRange(from, store::GetText(head.paymentDate), to);
    if (!invoiced && !paid) return;
    const store::IssueRecord* found = book.find(head.orderNumber);
    store::IssueRecord record{};
    if (found) {
      record = *found;
    } else {
      const std::string date = reports::JournalDate(head);
      record = orders::StateIssue(head, order.lines, app.parameters, customer, date,
                                  orders::ServiceDateOf(app.dataDirectory, head, date));
      // The stored total is what was listed, booked and dunned.
      record.total = head.total;
      if (invoiced) batch.withoutRecord.push_back(head.orderNumber);
    }
    std::string debtor = DebtorAccount(settings, store::GetText(record.customerNumber));
    if (debtor.empty()) {
      if (settings.debtors == Debtors::PerCustomer) AddOnce(batch.onCollective, head.orderNumber);
      debtor = settings.collectiveDebtor;
    } else if (!batch.debtors.count(debtor)) {
      batch.debtors[debtor] = Debtor{debtor, customer};
    }
    const CurrencyOf currency = CurrencyOfOrder(app.parameters, einvoiceSettings, record.currency,
                                                store::GetText(record.currencySymbol));
    const std::string name(store::GetText(record.customerName));
    const std::string number = std::to_string(record.invoiceNumber);
    if (invoiced) {
      const int higher = std::max<int>(record.classes[1].rate, record.classes[2].rate);
      std::int64_t grossOf[store::kIssueClasses];
      for (int c = 0; c < store::kIssueClasses; ++c)
        grossOf[c] = record.classes[c].net + record.classes[c].tax;
      // A record taken over with a stored total its lines do not give
      // states that total: the difference goes with the largest class.
      const std::int64_t difference = record.total - grossOf[0] - grossOf[1] - grossOf[2];
      if (difference != 0) {
        int largest = 2;
        for (int c = 0; c < store::kIssueClasses; ++c)
          if (std::llabs(grossOf[c]) > std::llabs(grossOf[largest])) largest = c;
        grossOf[largest] += difference;
        AddOnce(batch.totalOnly, head.orderNumber);
      }
      for (int c = 0; c < store::kIssueClasses; ++c) {
        const store::IssuedClass& issued = record.classes[c];
        const std::int64_t gross = grossOf[c];
        if (gross == 0) continue;
        const int rate = c == 0 ? 0 : issued.rate;
        Booking b;
        b.amount = gross < 0 ? -gross : gross;
        b.side = gross < 0 ? 'H' : 'S';
        SetCurrency(b, currency);
        b.account = debtor;
        if (rate == 0) {
          b.contraAccount = settings.revenueTaxFree;
        } else if (rate == 190 || rate == 70) {
          b.contraAccount = rate == 190 ? settings.revenueStandard : settings.revenueReduced;
        } else {
          AddOnce(batch.otherRates, head.orderNumber);
          b.contraAccount = rate == higher ? settings.revenueStandard : settings.revenueReduced;
        }
        b.documentDate = store::GetText(record.invoiceDate);
        b.document = number;
        b.text = name;
        b.serviceDate = store::GetText(record.serviceDate);
        b.invoice = record.invoiceNumber;
        batch.bookings.push_back(std::move(b));
      }
    }
    if (paid) {
      // The paid figure counts a cash discount taken as paid; the money
      // that came in is the rest.
      const std::int64_t discount =
          head.cashDiscountTaken ? orders::CashDiscountAmount(record.total, head.cashDiscount) : 0;
      const std::int64_t received = std::int64_t{head.paid} - discount;
      Booking b;
      b.amount = received < 0 ? -received : received;
      b.side = received < 0 ? 'H' : 'S';
      SetCurrency(b, currency);
      b.account = PaymentAccount(settings, store::GetText(head.account));
      b.contraAccount = debtor;
      b.documentDate = store::GetText(head.paymentDate);
      b.document = number;
      b.text = name;
      b.cashDiscount = discount < 0 ? -discount : discount;
      b.invoice = record.invoiceNumber;
      if (b.amount != 0 || b.cashDiscount != 0) batch.bookings.push_back(std::move(b));
    }
  });
  batch.escaped = scan.escaped;
  return batch;
}

ExtfHeader SettingsHeader(const Settings& settings, const platform::LocalTime& createdAt,
                          const std::string& from) {
  ExtfHeader header;
  header.createdAt = createdAt;
  header.advisor = settings.advisor;
  header.client = settings.client;
  header.yearStart = YearMonthDay(FinancialYearStart(settings, from));
  header.accountLength = settings.accountLength;
  header.chart = settings.chart == Chart::Skr04 ? "04" : "03";
  return header;
}

std::string BatchFileText(const Settings& settings, const platform::LocalTime& createdAt,
                          const std::string& from, const std::string& to,
                          const std::vector<Booking>& bookings) {
  ExtfHeader header = SettingsHeader(settings, createdAt, from);
  header.category = kBatchCategory;
  header.formatName = "Buchungsstapel";
  header.formatVersion = kBatchFormatVersion;
  header.from = YearMonthDay(from);
  header.to = YearMonthDay(to);
  header.label = "Rechnungen " + from.substr(0, 6) + "-" + to;
  header.fixed = settings.fixed;
  ExtfWriter file(header, BatchColumns());
  std::vector<std::string> row;
  for (const Booking& b : bookings) {
    row.assign(BatchColumns().size(), std::string());
    row[kAmount] = Amount(b.amount);
    row[kSide] = Quoted(std::string(1, b.side));
    row[kCurrency] = Quoted(b.currency);
    if (b.exchangeRate > 0) {
      row[kRate] = Rate(b.exchangeRate);
      row[kBaseAmount] = Amount(b.baseAmount);
      row[kBaseCurrency] = Quoted(b.baseCurrency);
    }
    row[kAccount] = b.account;
    row[kContraAccount] = b.contraAccount;
    row[kDocumentDate] = DayMonth(b.documentDate);
    row[kDocument1] = Quoted(b.document, kDocumentWidth);
    if (b.cashDiscount) row[kCashDiscount] = Amount(b.cashDiscount);
    row[kText] = Quoted(b.text, kTextWidth);
    row[kServiceDate] = DayMonthYear(b.serviceDate);
    file.row(row);
  }
  return file.text();
}

std::string BatchFileName(const std::string& from, const std::string& to) {
  return "EXTF_Buchungsstapel_" + YearMonthDay(from) + "_" + YearMonthDay(to) + ".csv";
}

std::string BatchNotes(const Batch& batch) {
  std::string notes;
  if (!batch.withoutRecord.empty())
    notes += "Ohne Ausgangsbuch-Eintrag, aus den gespeicherten Beträgen übernommen: Rechnung " +
             NumberList(batch.withoutRecord) + ".\n";
  if (!batch.onCollective.empty())
    notes += "Kundennummer ergibt kein Debitorenkonto, auf den Sammeldebitor gebucht: Rechnung " +
             NumberList(batch.onCollective) + ".\n";
  if (!batch.totalOnly.empty())
    notes += "Nur der Rechnungsbetrag ist bekannt, die Aufteilung auf die Steuersätze nicht "
             "(bitte prüfen): Rechnung " + NumberList(batch.totalOnly) + ".\n";
  if (!batch.otherRates.empty())
    notes += "Steuersatz weder 19 % noch 7 %, auf das Erlöskonto des Steuersatzes 1 oder 2 "
             "gebucht (bitte prüfen): Rechnung " + NumberList(batch.otherRates) + ".\n";
  return notes;
}

}  // namespace datev
