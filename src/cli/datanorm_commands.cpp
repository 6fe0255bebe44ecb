#include "cli/datanorm_commands.h"

#include <cstdio>

#include "datanorm/address_export.h"
#include "datanorm/datanorm_export.h"
#include "datanorm/datanorm_import.h"
#include "store/load_parameters.h"
#include "platform/cp1252.h"

namespace cli {

int DatanormImportCommand(frame::AppState& app, const std::vector<std::string>& args) {
  datanorm::ImportOptions options;
  bool haveSupplier = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--supplier" && i + 1 < args.size()) {
      // The dialog takes at most 9 characters.
      options.supplier = platform::Utf8ToCp1252(args[++i]).substr(0, 9);
      haveSupplier = true;
    } else if (args[i] == "--dm-to-euro") {
      options.dmToEuro = true;
    } else if (options.fileName.empty() && args[i].rfind("--", 0) != 0) {
      options.fileName = args[i];
    } else {
      haveSupplier = false;
      break;
    }
  }
  if (options.fileName.empty() || !haveSupplier) {
    std::fputs("Aufruf: belvon-cli [--yes] datanorm-import DATEI --supplier NAME [--dm-to-euro]\n",
               stderr);
    return 2;
  }
  if (!frame::LoadParameters(app)) return 1;
  const datanorm::ImportResult result = datanorm::ImportDatanorm(app, options);
  if (result.end == datanorm::ImportEnd::NotOpened) {
    std::fprintf(stderr, "Die Datei %s kann nicht gelesen werden.\n", options.fileName.c_str());
    return 1;
  }
  std::printf("Artikel in der Datei: %ld\n", result.articles);
  return result.end == datanorm::ImportEnd::Done ? 0 : 1;
}

int DatanormExportCommand(frame::AppState& app, const std::vector<std::string>& args) {
  std::string output = datanorm::kExportFileName;
  if (args.size() == 3 && args[1] == "--output") {
    output = args[2];
  } else if (args.size() != 1) {
    std::fputs("Aufruf: belvon-cli datanorm-export [--output DATEI]\n", stderr);
    return 2;
  }
  if (!frame::LoadParameters(app)) return 1;
  const datanorm::ExportResult result = datanorm::ExportDatanorm(app, output);
  if (result.end == datanorm::ExportEnd::NotCreated) {
    std::fprintf(stderr, "Die Datei %s kann nicht angelegt werden.\n", output.c_str());
    return 1;
  }
  std::printf("Exportierte Artikel: %ld\n", result.articles);
  // Articles left out (named on stderr) make the file incomplete.
  return result.end == datanorm::ExportEnd::Done && result.leftOut == 0 ? 0 : 1;
}

int ExportAddressesCommand(frame::AppState& app, const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fputs("Aufruf: belvon-cli export-addresses\n", stderr);
    return 2;
  }
  if (!frame::LoadParameters(app)) return 1;
  if (!datanorm::ExportAddresses(app)) {
    std::fputs("Keine Adressen exportiert.\n", stderr);
    return 1;
  }
  std::printf("%s\n", app.path(datanorm::kAddressExportName).c_str());
  return 0;
}

}  // namespace cli
