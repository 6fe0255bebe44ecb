#include "bank/mt940_reader.h"

#include <aqbanking/banking.h>
#include <aqbanking/banking_imex.h>
#include <gwenhywfar/debug.h>
#include <gwenhywfar/gui.h>
#include <gwenhywfar/gui_be.h>
#include <gwenhywfar/gwenhywfar.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "bank/statement_text.h"

namespace bank {

namespace {

std::string Value(const char* text) { return text ? Trimmed(text) : std::string(); }

std::string DateOf(const GWEN_DATE* date) {
  if (!date) return {};
  char text[16];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d", GWEN_Date_GetDay(date),
                GWEN_Date_GetMonth(date), GWEN_Date_GetYear(date));
  return text;
}

// AqBanking's value as "nominator/denominator": exact cents, no floating
// point on the way.
bool CentsOf(const AB_VALUE* value, std::int64_t& cents) {
  if (!value) return false;
  char text[80] = {};
  if (AB_Value_GetNumDenomString(value, text, sizeof text) != 0) return false;
  const std::string_view s(text);
  const std::size_t slash = s.find('/');
  long long numerator = 0, denominator = 1;
  try {
    numerator = std::stoll(std::string(s.substr(0, slash)));
    if (slash != std::string_view::npos) denominator = std::stoll(std::string(s.substr(slash + 1)));
  } catch (...) {
    return false;
  }
  if (denominator <= 0 || (numerator * 100) % denominator != 0) return false;
  cents = numerator * 100 / denominator;
  return true;
}

// The folder AqBanking looks into for an older configuration to take over
// makes itself in the home folder (two empty folders) on every start,
// whatever data folder it was given. When the user had none, the empty
// folders it left are taken away again; nothing of a real one is touched.
class HomeFolderGuard {
 public:
  HomeFolderGuard() {
    if (const passwd* user = getpwuid(getuid()); user && user->pw_dir)
      folder_ = std::filesystem::path(user->pw_dir) / ".aqbanking";
    std::error_code ignored;
    existed_ = folder_.empty() || std::filesystem::exists(folder_, ignored);
  }
  ~HomeFolderGuard() {
    if (existed_) return;
    std::error_code ignored;
    // remove() takes only empty folders away.
    std::filesystem::remove(folder_ / "settings6", ignored);
    std::filesystem::remove(folder_ / "settings", ignored);
    std::filesystem::remove(folder_, ignored);
  }

 private:
  std::filesystem::path folder_;
  bool existed_ = true;
};

// AqBanking's notes (on the older configuration it looks for, say) are no
// news to our user: what fails reaches him as our own message.
int GWENHYWFAR_CB SwallowLog(GWEN_GUI*, const char*, GWEN_LOGGER_LEVEL, const char*) { return 1; }

std::mutex aqbankingUse;  // AqBanking and its GUI object are process-wide

}  // namespace

bool LooksLikeMt940(std::string_view bytes) {
  const std::string_view head = bytes.substr(0, std::min<std::size_t>(bytes.size(), 4096));
  return head.find(":20:") != std::string_view::npos &&
         (head.find(":61:") != std::string_view::npos ||
          head.find(":60F:") != std::string_view::npos || head.find(":60M:") != std::string_view::npos);
}

bool ReadMt940(std::string_view bytes, Statement& statement, std::string& error) {
  std::lock_guard<std::mutex> hold(aqbankingUse);
  static const bool started = [] {
    GWEN_Init();
    GWEN_GUI* gui = GWEN_Gui_new();
    GWEN_Gui_SetLogHookFn(gui, SwallowLog);
    GWEN_Gui_SetGui(gui);
    return true;
  }();
  (void)started;

  std::error_code failed;
  std::string pattern = (std::filesystem::temp_directory_path(failed) / "belvon-aqbanking-XXXXXX").string();
  if (failed || !mkdtemp(pattern.data())) {
    error = "Für das Einlesen von MT940 kann kein temporärer Ordner angelegt werden.";
    return false;
  }
  const std::filesystem::path config = pattern;
  HomeFolderGuard home;
  std::vector<Transaction> read;
  int result = -1;
  {
    AB_BANKING* banking = AB_Banking_new("belvon", config.c_str(), 0);
    if (banking && AB_Banking_Init(banking) == 0) {
      AB_IMEXPORTER_CONTEXT* context = AB_ImExporterContext_new();
      result = AB_Banking_ImportFromBufferLoadProfile(
          banking, "swift", context, "SWIFT-MT940", nullptr,
          reinterpret_cast<const std::uint8_t*>(bytes.data()), static_cast<std::uint32_t>(bytes.size()));
      for (AB_IMEXPORTER_ACCOUNTINFO* info = AB_ImExporterContext_GetFirstAccountInfo(context);
           result == 0 && info; info = AB_ImExporterAccountInfo_List_Next(info)) {
        std::string own = Value(AB_ImExporterAccountInfo_GetIban(info));
        if (own.empty()) own = Value(AB_ImExporterAccountInfo_GetAccountNumber(info));
        for (AB_TRANSACTION* t = AB_ImExporterAccountInfo_GetFirstTransaction(info, 0, 0); t;
             t = AB_Transaction_List_Next(t)) {
          Transaction tx;
          tx.account = own;
          tx.bookingDate = DateOf(AB_Transaction_GetDate(t));
          tx.valueDate = DateOf(AB_Transaction_GetValutaDate(t));
          if (tx.bookingDate.empty()) tx.bookingDate = tx.valueDate;
          const AB_VALUE* value = AB_Transaction_GetValue(t);
          if (tx.bookingDate.empty() || !CentsOf(value, tx.cents)) {
            result = -1;
            break;
          }
          tx.currency = Value(AB_Value_GetCurrency(value));
          tx.name = Value(AB_Transaction_GetRemoteName(t));
          tx.iban = Value(AB_Transaction_GetRemoteIban(t));
          tx.text = Value(AB_Transaction_GetPurpose(t));
          for (char& c : tx.text)
            if (c == '\n' || c == '\r') c = ' ';
          tx.endToEnd = Value(AB_Transaction_GetEndToEndReference(t));
          if (tx.endToEnd == "NOTPROVIDED") tx.endToEnd.clear();
          tx.bankReference = Value(AB_Transaction_GetBankReference(t));
          if (tx.bankReference == "NONREF") tx.bankReference.clear();
          read.push_back(tx);
        }
      }
      AB_ImExporterContext_free(context);
      AB_Banking_Fini(banking);
    }
    if (banking) AB_Banking_free(banking);
  }
  std::filesystem::remove_all(config, failed);
  if (result != 0) {
    error = "Die MT940-Datei kann nicht gelesen werden.";
    return false;
  }
  if (read.empty() && bytes.find(":61:") != std::string_view::npos) {
    error = "Die MT940-Datei enthält Umsätze, die nicht gelesen werden können.";
    return false;
  }
  statement.transactions.insert(statement.transactions.end(), read.begin(), read.end());
  return true;
}

}  // namespace bank
