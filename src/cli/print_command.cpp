#include "cli/print_command.h"
#include "cli/collective_print.h"
#include "cli/dunning_print.h"
#include "cli/report_commands.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <algorithm>
#include <charconv>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>

#include "core/decimal.h"
#include "store/load_parameters.h"
#include "letters/dunning_renderer.h"
#include "letters/letter_text.h"
#include "platform/cp1252.h"
#include "platform/file_reading.h"
#include "platform/output_file.h"
#include "orders/issuing.h"
#include "orders/ui/document_pdf.h"
#include "printing/job_table.h"
#include "orders/order_document_renderer.h"
#include "printing/print_job.h"
#include "printing/ui/printer_devices.h"
#include "store/address_file.h"
#include "store/data_file.h"
#include "store/indexed_file.h"
#include "store/order_file.h"
#include "store/order_kinds.h"
#include "store/text_field.h"

namespace cli {

namespace {

int Usage() {
  std::fputs(
      "Aufruf: belvon-cli print AUFTRAG [--date TT.MM.JJJJ] [--customer NAME2] [--text DATEI]\n"
      "                     (--pdf DATEI | --png VERZEICHNIS)\n"
      "        belvon-cli print 1|2|3|20|23 --order NUMMER [--date TT.MM.JJJJ] [--copies N]\n"
      "                     [--issue] (--pdf DATEI | --png VERZEICHNIS)\n"
      "        belvon-cli print 16 --date TT.MM.JJJJ [--reprint] [--customer NAME2] [--issue]\n"
      "                     (--pdf DATEI | --png VERZEICHNIS)\n"
      "        belvon-cli print 4 --customer NAME2 [--from NUMMER] [--to NUMMER]\n"
      "                     [--date TT.MM.JJJJ] [--include-invoiced] [--copies N] [--issue]\n"
      "                     (--pdf DATEI | --png VERZEICHNIS)\n"
      "        belvon-cli print 5|9|19|13|14|15|17|18 (--pdf DATEI | --png VERZEICHNIS)\n"
      "        belvon-cli print 6|7|8|12 [--from TT.MM.JJJJ] [--to TT.MM.JJJJ] (--pdf ... | --png ...)\n"
      "        belvon-cli print 22 --article NUMMER [--from TT.MM.JJJJ] [--to TT.MM.JJJJ] ...\n",
      stderr);
  return 2;
}

bool ParseInt(const std::string& text, int& value) {
  auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// "dd.mm.yyyy" with a real calendar date.
bool ValidDate(const std::string& text) {
  if (text.size() != 10 || text[2] != '.' || text[5] != '.') return false;
  int day, month, year;
  if (!ParseInt(text.substr(0, 2), day) || !ParseInt(text.substr(3, 2), month) ||
      !ParseInt(text.substr(6, 4), year))
    return false;
  if (month < 1 || month > 12 || day < 1 || year < 1) return false;
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

// The letter's text file, read as the text editor reads it.
bool ReadLetter(frame::AppState& app, const std::string& path, std::string& letter) {
  bool replaced = false;
  const letters::LoadResult result = letters::LoadLetterText(*app.fileSystem, path, letter, &replaced);
  if (result != letters::LoadResult::Loaded) {
    std::fprintf(stderr, "%s\n", letters::LetterFileProblem(path, result).c_str());
    return false;
  }
  if (replaced)
    std::fprintf(stderr, "Zeichen außerhalb von Windows-1252 wurden durch \"?\" ersetzt.\n");
  return true;
}

// Makes the address with this second name line current; without a name the
// first address of the index.
bool MakeCustomerCurrent(frame::AppState& app, const std::string& name2, bool named) {
  if (!named) {
    if (app.addresses.lastIndex < 0) return true;  // no addresses: an empty block
    if (store::ReadAddress(app, app.address, 0) == 1) return true;
    std::fputs("Die erste Adresse kann nicht gelesen werden.\n", stderr);
    return false;
  }
  return SelectCustomerByName(app, name2);
}

// The documents of an order that can be printed and issued from here: the
// five buttons of the order's print dialog.
bool OrderJob(int job) {
  return job == printing::kJobQuotation || job == printing::kJobDeliveryNote ||
         job == printing::kJobInvoice || job == printing::kJobConfirmation ||
         job == printing::kJobCostEstimate;
}

constexpr int kMaxCopies = 99;

bool OutputWritable(const std::string& pdf, const std::string& png) {
  if (!pdf.empty()) {
    // The file is written beside its name and renamed: that must be possible
    // there. The name itself is not touched before the document is whole.
    if (platform::OutputFile(platform::SystemFileSystem(), pdf).isOpen()) return true;
    std::fprintf(stderr, "%s\n", platform::OutputFailureText(pdf).c_str());
    return false;
  }
  const QString directory = QString::fromStdString(png);
  if (QDir().mkpath(directory) && QFileInfo(directory).isWritable()) return true;
  std::fprintf(stderr, "Das Verzeichnis %s kann nicht beschrieben werden.\n", png.c_str());
  return false;
}

// Every copy of a document into one output: the copies follow each other,
// each from its own first page.
class CopiesRenderer : public printing::PageRenderer {
 public:
  CopiesRenderer(std::unique_ptr<printing::PageRenderer> inner, int copies)
      : inner_(std::move(inner)), copies_(copies) {}
  printing::RenderOutcome render(printing::Canvas& canvas, const printing::PageGeometry& geometry,
                                 printing::RenderContext& context) override {
    printing::RenderOutcome outcome;
    for (int copy = 1; copy <= copies_; ++copy) {
      if (copy > 1 && (!canvas.endPage() || !canvas.startPage())) break;
      context.session.view.targetPage = printing::kPrintAllPages;
      outcome = inner_->render(canvas, geometry, context);
    }
    return outcome;
  }

 private:
  std::unique_ptr<printing::PageRenderer> inner_;
  int copies_;
};

}  // namespace

// Makes the order with this number current as the order pane holds it: the
// head and its lines, and its customer as the current address (with the
// address index position, so that issuing writes the customer back where
// it belongs).
bool SelectCustomerByName(frame::AppState& app, const std::string& name2) {
  store::AddressRecord key{};
  store::SetText(key.name2, platform::Utf8ToCp1252(name2));
  std::int32_t position = -1;
  std::vector<std::int32_t> alike;
  const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(&key), sizeof key);
  // A name typed in another letter case means the one address it can mean.
  if (store::AddressFile(app).LookupExactKey(bytes, position, &alike) != 1 && alike.size() == 1)
    position = alike.front();
  if ((alike.empty() || alike.size() == 1) && position >= 0 &&
      store::ReadAddress(app, app.address, position) == 1) {
    app.addresses.position = position;
    return true;
  }
  if (alike.empty()) {
    std::fprintf(stderr, "Adresse %s nicht gefunden.\n", name2.c_str());
    return false;
  }
  // Which of them was meant is not ours to guess.
  std::fprintf(stderr,
               "Mehrere Adressen heißen \"%s\", nur in anderer Groß- und Kleinschreibung, "
               "keine genau so:\n",
               name2.c_str());
  for (const std::int32_t p : alike) {
    store::AddressRecord address{};
    if (store::ReadAddress(app, address, p) == 1)
      std::fprintf(stderr, "  %s\n", platform::Cp1252ToUtf8(store::GetText(address.name2)).c_str());
  }
  std::fputs("Bitte den Namen genau so angeben, wie er gespeichert ist.\n", stderr);
  return false;
}

bool MakeOrderCurrent(frame::AppState& app, std::int32_t number) {
  store::OrderHead criteria{};
  criteria.orderNumber = number;
  std::int32_t position = -1;
  if (number < 1 || !store::FindOrder(app, criteria, position, true)) {
    std::fprintf(stderr, "Auftrag %ld nicht gefunden.\n", static_cast<long>(number));
    return false;
  }
  if (store::ReadOrder(app, app.order, position) != 1) {
    std::fprintf(stderr, "Auftrag %ld kann nicht gelesen werden (oder sein Kunde wurde gelöscht).\n",
                 static_cast<long>(number));
    return false;
  }
  app.orders.position = position;

  store::IndexBlock block;
  {
    platform::File index = store::OpenData(app, store::kAddressIndexName, platform::Access::Read,
                                           platform::Share::DenyWrite);
    if (!index || !store::AddressFile(app).ReadIndex(index, block)) {
      std::fputs("Der Adressindex kann nicht gelesen werden.\n", stderr);
      return false;
    }
  }
  const auto customer = static_cast<std::uint32_t>(app.order.customerRef);
  for (std::int32_t i = 0; i < block.count; ++i) {
    if (block.recordOffset(i) != customer) continue;
    if (store::ReadAddress(app, app.address, i) != 1) break;
    app.addresses.position = i;
    return true;
  }
  std::fprintf(stderr, "Der Kunde von Auftrag %ld ist nicht im Adressindex.\n",
               static_cast<long>(number));
  return false;
}

std::unique_ptr<QGuiApplication> StartPaintingApplication() {
  // Fonts and painting need a GUI application; without a display the
  // offscreen platform serves.
  static int argc = 1;
  static char name[] = "belvon-cli";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance()) return nullptr;
  if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") &&
      !std::getenv("WAYLAND_DISPLAY"))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  auto application = std::make_unique<QGuiApplication>(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  return application;
}

int PrintCommand(frame::AppState& app, const std::vector<std::string>& args) {
  if (args.size() < 2) return Usage();
  int job = 0;
  if (!ParseInt(args[1], job)) return Usage();
  std::string date, customer, textFile, pdf, png, orderText, copiesText;
  bool haveCustomer = false;
  bool issue = false;
  bool reprint = false;
  CollectiveRange range;
  bool rangeGiven = false;
  ReportRequest report;
  for (std::size_t i = 2; i < args.size(); ++i) {
    const std::string& option = args[i];
    if (option == "--issue") {
      issue = true;
      continue;
    }
    if (option == "--include-invoiced") {
      range.includeInvoiced = rangeGiven = true;
      continue;
    }
    if (DunningFlag(option, reprint)) continue;
    if (i + 1 >= args.size()) return Usage();
    const std::string& value = args[++i];
    if (option == "--date") {
      date = value;
    } else if (option == "--customer") {
      customer = value;
      haveCustomer = true;
    } else if (option == "--text") {
      textFile = value;
    } else if (option == "--pdf") {
      pdf = value;
    } else if (option == "--png") {
      png = value;
    } else if (option == "--order") {
      orderText = value;
    } else if (option == "--copies") {
      copiesText = value;
    } else if (IsReportJob(job) && ReportOption(option, value, report)) {
    } else if (CollectiveOption(option, value, range)) {
      rangeGiven = true;
    } else {
      return Usage();
    }
  }
  if (pdf.empty() == png.empty()) return Usage();
  // An order document prints an order; the other jobs know no order.
  const bool orderDocument = !orderText.empty();
  if (orderDocument != OrderJob(job)) return Usage();
  // A collective invoice bills a customer's delivery notes of a range.
  const bool collective = job == printing::kJobCollectiveInvoice;
  if (collective ? !haveCustomer || !textFile.empty() : rangeGiven) return Usage();
  const bool dunning = job == letters::kJobDunning;
  if (!orderDocument && !collective && ((issue && !dunning) || !copiesText.empty())) return Usage();
  if (reprint && !dunning) return Usage();
  if (orderDocument && (haveCustomer || !textFile.empty())) return Usage();
  std::int32_t orderNumber = 0;
  if (orderDocument && !ParseInt(orderText, orderNumber)) return Usage();
  int copies = 0;  // 0: not given
  if (!copiesText.empty() && (!ParseInt(copiesText, copies) || copies < 1 || copies > kMaxCopies)) {
    std::fprintf(stderr, "Ungültige Anzahl Ausdrucke: %s (1 bis %d)\n", copiesText.c_str(),
                 kMaxCopies);
    return 2;
  }
  if (!date.empty() && !ValidDate(date)) {
    std::fprintf(stderr, "Ungültiges Datum: %s (TT.MM.JJJJ)\n", date.c_str());
    return 2;
  }

  const std::unique_ptr<QGuiApplication> application = StartPaintingApplication();

  if (!frame::LoadParameters(app)) return 1;
  printing::PrintSession session;
  session.job = job;
  if (date.empty()) {
    platform::LocalTime now = app.clock->now();
    date = frame::Format("%02d.%02d.%4d", now.day, now.month, now.year);
  }
  session.inputs.printDate = date;
  session.inputs.issuing = issue;
  if (IsReportJob(job)) {
    if (haveCustomer || !textFile.empty()) return Usage();
    if (const int failed = PrepareReport(app, job, report, session.inputs)) return failed;
  }
  if (!textFile.empty() && !ReadLetter(app, textFile, session.inputs.letterText)) return 1;

  int printed = 1;
  std::string invoiceDate;
  if (orderDocument) {
    if (!MakeOrderCurrent(app, orderNumber)) return 1;
    if (orders::RefusedWithoutPriceSettings(app, static_cast<orders::DocumentKind>(job))) return 1;
    // A stored collective invoice prints again as the collective invoice it is.
    if (job == printing::kJobInvoice && (app.order.flags & store::kOrderCollectiveInvoice))
      session.job = job = printing::kJobCollectiveInvoice;
    printed = copies == 0 ? 1 : copies;
    // An invoice printed before whose total today's rates would change is
    // printed again only when the user says so, issued or not.
    if (job == printing::kJobInvoice && !orders::ConfirmReprintTotal(app)) return 1;
    if (issue) {
      // Issuing marks the order for good: only when the output can be made.
      if (!OutputWritable(pdf, png)) return 1;
      if (copies == 0) printed = std::clamp<int>(app.address.copies, 1, kMaxCopies);
      // What the document button asks before printing; the marks follow
      // once the document is written.
      if (job == printing::kJobInvoice) {
        invoiceDate = orders::InvoiceDateToFix(app, session.inputs.printDate);
        if (orders::RefusedForItsDueDate(app, invoiceDate)) return 1;
        session.inputs.invoiceDate = invoiceDate;
      }
    }
  } else if (!MakeCustomerCurrent(app, customer, haveCustomer)) {
    return 1;
  }
  if (dunning) {
    SetDunningInputs(app, haveCustomer, reprint, session.inputs);
    if (!DunningLettersDue(app, session.inputs)) return kNothingToDo;
  }
  orders::Collection collection;
  std::optional<orders::CollectionInPane> pane;
  if (collective) {
    if (orders::RefusedWithoutPriceSettings(app, orders::DocumentKind::CollectiveInvoice)) return 1;
    if (issue && !OutputWritable(pdf, png)) return 1;
    if (!CollectForPrint(app, range, session.inputs.printDate, collection)) return 1;
    session.inputs.printDate = collection.invoiceDate;
    printed = copies != 0 ? copies : issue ? std::clamp<int>(app.address.copies, 1, kMaxCopies) : 1;
    pane.emplace(app, collection);
    // Issued before it is drawn, so that it prints its number; taken back
    // (when the pane lets go) unless the document is written.
    if (issue) {
      if (orders::RefusedWithoutTaxNumber(app) || !orders::IssueCollection(app, collection))
        return 1;
      pane->issued();
    }
  }
  // The document button of the order's print dialog, once the document is
  // out: customer record, parameters and the order with its flags and
  // invoice date, every write checked.
  QStringList pngFiles;
  auto recordIssue = [&] {
    if (!issue) return true;
    if (dunning) return StoreDunningRun(app, session.inputs);
    if (!collective) {
      // The PDF just written is what the archive keeps of this issue.
      store::IssuedDocuments written;
      if (!pdf.empty()) {
        std::ifstream in(pdf, std::ios::binary);
        written.pdf.assign(std::istreambuf_iterator<char>(in), {});
      }
      return orders::RecordIssue(app, static_cast<orders::DocumentKind>(job), invoiceDate, &written);
    }
    // A collective invoice that could not be issued leaves no document.
    if (pane->printed()) return true;
    std::error_code ignored;
    if (!pdf.empty()) std::filesystem::remove(pdf, ignored);
    for (const QString& file : pngFiles) std::filesystem::remove(file.toStdString(), ignored);
    return false;
  };
  CopiesRenderer renderer(printing::MakeRenderer(job), printed);

  if (!pdf.empty()) {
    if (!orders::WriteDocumentPdf(app, session, renderer, pdf)) {
      std::fprintf(stderr, "%s\n", platform::OutputFailureText(pdf).c_str());
      return 1;
    }
    if (!recordIssue()) return 1;
    std::printf("%s\n", pdf.c_str());
    return 0;
  }
  printing::PngPagesDevice device(QString::fromStdString(png));
  bool ok = printing::PrintOnDevice(app, device, session, renderer, {}, nullptr);
  if (!ok || device.failed() || device.files().isEmpty()) {
    std::fprintf(stderr, "Das Verzeichnis %s kann nicht beschrieben werden.\n", png.c_str());
    return 1;
  }
  pngFiles = device.files();
  if (!recordIssue()) return 1;
  for (const QString& file : device.files()) std::printf("%s\n", file.toLocal8Bit().constData());
  return 0;
}

}  // namespace cli
