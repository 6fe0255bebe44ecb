// belvon-cli incoming print NR (--pdf FILE | --png DIR): the readable
// rendering of a kept e-invoice through the print engine.
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <charconv>
#include <cstdio>

#include "cli/incoming_commands.h"
#include "cli/print_command.h"
#include "core/dates.h"
#include "orders/ui/document_pdf.h"
#include "platform/output_file.h"
#include "printing/print_job.h"
#include "printing/ui/printer_devices.h"
#include "receive/received_invoice_renderer.h"
#include "store/load_parameters.h"

namespace cli {

int IncomingPrint(frame::AppState& app, const std::vector<std::string>& args) {
  auto usage = [] {
    std::fputs("Aufruf: belvon-cli incoming print NR (--pdf DATEI | --png VERZEICHNIS)\n", stderr);
    return 2;
  };
  int id = 0;
  if (args.size() != 5) return usage();
  const auto parsed = std::from_chars(args[2].data(), args[2].data() + args[2].size(), id);
  if (parsed.ec != std::errc() || parsed.ptr != args[2].data() + args[2].size() || id <= 0)
    return usage();
  std::string pdf, png;
  if (args[3] == "--pdf")
    pdf = args[4];
  else if (args[3] == "--png")
    png = args[4];
  else
    return usage();
  if (!frame::LoadParameters(app)) return 1;
  receive::ShownInvoice shown;
  std::string problem;
  if (!receive::ShowKept(app, id, shown, problem)) {
    std::fprintf(stderr, "%s\n", problem.c_str());
    return 1;
  }
  const std::unique_ptr<QGuiApplication> application = StartPaintingApplication();
  printing::PrintSession session;
  session.job = receive::kJobReceivedInvoice;
  session.view.targetPage = printing::kPrintAllPages;
  session.inputs.printDate = orders::FormatDate(*app.clock);
  session.inputs.incomingId = id;
  receive::ReceivedInvoiceRenderer renderer(std::move(shown));
  if (!pdf.empty()) {
    if (!orders::WriteDocumentPdf(app, session, renderer, pdf)) {
      std::fprintf(stderr, "%s\n", platform::OutputFailureText(pdf).c_str());
      return 1;
    }
    std::printf("%s\n", pdf.c_str());
    return 0;
  }
  const QString directory = QString::fromStdString(png);
  printing::PngPagesDevice device(directory);
  if (!QDir().mkpath(directory) ||
      !printing::PrintOnDevice(app, device, session, renderer, {}, nullptr) || device.failed() ||
      device.files().isEmpty()) {
    std::fprintf(stderr, "Das Verzeichnis %s kann nicht beschrieben werden.\n", png.c_str());
    return 1;
  }
  for (const QString& file : device.files()) std::printf("%s\n", file.toLocal8Bit().constData());
  return 0;
}

}  // namespace cli
