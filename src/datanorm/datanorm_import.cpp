#include "datanorm/datanorm_import.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>

#include "datanorm/code_page_850.h"
#include "datanorm/datanorm_lines.h"
#include "core/decimal.h"
#include "core/user_interface.h"
#include "platform/cp1252.h"
#include "platform/file_reading.h"
#include "store/text_field.h"

namespace datanorm {

namespace {

using store::ArticleRecord;

// Article numbers and matchcodes are 15 characters in Datanorm; longer ones
// are cut there.
constexpr std::size_t kNumberWidth = 15;

// Cents truncated toward zero; empty beyond what a price field holds.
std::optional<std::int32_t> TruncatedCents(double value) {
  value = std::trunc(value);
  if (!(value >= INT32_MIN && value <= INT32_MAX)) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

// The B record's text goes into the product group behind the three
// characters of the A record (filled up with blanks, so that it shows).
void PutGroupTail(ArticleRecord& article, std::string_view tail) {
  if (tail.empty()) return;
  std::string group(store::GetText(article.productGroup).substr(0, 3));
  group.resize(3, ' ');
  group += Cut(tail, 10);
  store::SetText(article.productGroup, group);
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\n')) text.remove_suffix(1);
  return text;
}

std::string_view At(std::string_view line, std::size_t from, std::size_t width) {
  return from < line.size() ? line.substr(from, width) : std::string_view();
}

class Import {
 public:
  Import(frame::AppState& app, const ImportOptions& options, const ImportHooks& hooks)
      : app_(app), options_(options), hooks_(hooks) {}

  ImportResult run();

 private:
  enum class Step { Next, Stop };
  Step header(std::string& line);
  Step articleLine(std::string& line);
  Step bLine(const Fields& fields);
  Step aLine(const Fields& fields);
  bool fileInfo(const std::string& text);
  bool progress(int percent);
  void tell(const std::string& text, frame::Icon icon) {
    if (app_.ui) app_.ui->message(text, icon);
  }
  void showCount() {
    if (hooks_.count) hooks_.count(target_->count());
  }
  Step badNumber() {
    if (result_.badNumbers++ == 0) firstBadNumber_ = lineNumber_;
    return Step::Next;
  }
  // What was passed over, told once at the end of the run.
  void tellPassedOver() {
    std::string text;
    if (result_.badNumbers > 0)
      text += frame::Format("%ld Artikelzeile(n) mit ungültiger oder zu großer Zahl (Preis, "
                            "Preiskennzeichen) wurden übersprungen, die erste in Zeile %ld.\n",
                            result_.badNumbers, firstBadNumber_);
    if (result_.cutLines > 0)
      text += frame::Format("%ld Zeile(n) waren länger als %zu Zeichen; der Rest wurde nicht "
                            "eingelesen, die erste in Zeile %ld.\n",
                            result_.cutLines, kLineLength, firstCut_);
    if (!text.empty()) tell("Datanorm-Import:\n" + text.substr(0, text.size() - 1), frame::Icon::Exclamation);
  }
  Step failed() {
    tell("Der Datanorm-Import wurde abgebrochen: die Artikeldateien (ARTIKEL.IDX, ARTIKEL.DAT) "
         "konnten nicht geschrieben werden.",
         frame::Icon::Stop);
    result_.end = ImportEnd::Failed;
    return Step::Stop;
  }
  // A catalogue that leaves the matchcode blank (as many do) names the
  // article by its short text 1: the article keeps that as its designation.
  void refresh(ArticleRecord& article, std::string_view matchcode, std::string_view groupTail) {
    if (matchcode.find_first_not_of(' ') != std::string_view::npos)
      store::SetText(article.designation, matchcode);
    else
      store::SetText(article.designation, Cut(store::GetText(article.remark1), 41));
    PutGroupTail(article, groupTail);
    store::SetText(article.supplier, options_.supplier);
  }

  frame::AppState& app_;
  const ImportOptions& options_;
  const ImportHooks& hooks_;
  std::unique_ptr<ArticleTarget> target_;
  ImportResult result_;
  bool headerSeen_ = false;

  // The article of the last A line, until the next A line or the B line of
  // the same article. `stored` says whether the A line stored it, at
  // `handle`, and `moved` whether an insert or removal came since.
  ArticleRecord working_{};
  bool stored_ = false;
  long lineNumber_ = 0;  // of the line at hand
  long firstBadNumber_ = 0;
  long firstCut_ = 0;
  bool moved_ = false;
  std::int32_t handle_ = -1;
};

bool Import::fileInfo(const std::string& text) {
  if (hooks_.confirmFileInfo) return hooks_.confirmFileInfo(text);
  return app_.ui && app_.ui->question(text, frame::Icon::Question, false);
}

bool Import::progress(int percent) {
  if (hooks_.progress) return hooks_.progress(percent);
  return app_.ui && app_.ui->progress(percent);
}

Import::Step Import::header(std::string& line) {
  OemToWindows(line);
  auto text = [&](std::size_t from, std::size_t width) {
    return platform::Cp1252ToUtf8(TrimRight(At(line, from, width)));
  };
  if (!fileInfo(text(8, 40) + "\n" + text(48, 40) + "\n" + text(88, 35) +
                "\n\nDiese Daten einlesen ?")) {
    result_.end = ImportEnd::Declined;
    return Step::Stop;
  }
  if (frame::ParseWhole(At(line, 123, 2)) != 4) {
    tell("Diese Datanormdatei hat nicht die Versionsnummer 4.0\n"
         "Bitte vor dem Laden nach 4.0 konvertieren.",
         frame::Icon::Information);
    result_.end = ImportEnd::WrongVersion;
    return Step::Stop;
  }
  headerSeen_ = true;
  return Step::Next;
}

Import::Step Import::articleLine(std::string& line) {
  if (!headerSeen_) {
    tell("Die Datei " + platform::Cp1252ToUtf8(options_.fileName) +
             " ist keine Datanormdatei: der Kopfsatz (V) fehlt vor den Artikeln.\n"
             "Es wurde nichts eingelesen.",
         frame::Icon::Stop);
    result_.end = ImportEnd::NoHeader;
    return Step::Stop;
  }
  if (!target_) {
    if (options_.bulk) {
      auto bulk = std::make_unique<BulkArticleFile>(app_, options_.bulkOptions);
      if (!bulk->open()) return failed();
      target_ = std::move(bulk);
    } else {
      target_ = std::make_unique<RecordTarget>(app_);
    }
  }
  OemToWindows(line);
  const Fields fields(line);
  // A line without a processing code or article number says nothing.
  if (fields[2].empty() || fields[3].empty()) return Step::Next;
  return line[0] == 'A' ? aLine(fields) : bLine(fields);
}

Import::Step Import::aLine(const Fields& fields) {
  working_ = ArticleRecord{};
  stored_ = false;
  // A price that is no number, or one beyond the field, would store another
  // price than the supplier's: the line is passed over whole.
  std::optional<std::int32_t> price;
  if (!fields[10].empty()) {
    const std::optional<double> value = FieldNumber(fields[10]);
    if (value) price = TruncatedCents(options_.dmToEuro ? *value / kDmPerEuro : *value);
    if (!price) return badNumber();
  }
  std::optional<double> mark = fields[7].empty() ? 0.0 : FieldNumber(fields[7]);
  if (!mark || *mark != std::trunc(*mark)) return badNumber();
  ArticleRecord& a = working_;
  store::SetText(a.number, Cut(fields[3], kNumberWidth));
  store::SetText(a.remark1, Cut(fields[5], 40));
  // Until a B record brings a matchcode, short text 1 names the article.
  store::SetText(a.designation, store::GetText(a.remark1));
  store::SetText(a.remark2, Cut(fields[6], 40));
  store::SetText(a.unit, Cut(fields[9], 4));
  store::SetText(a.productGroup, Cut(fields[12], 3));
  if (price) (*mark == 1 ? a.price1 : a.purchasePrice) = *price;
  a.flags = store::kArticleTaxRate2;
  store::SetText(a.supplier, options_.supplier);
  a.length = store::kArticleRecordSize;

  const std::string_view code = fields[2];
  if (code != "N" && code != "A" && code != "L") return Step::Next;
  std::int32_t handle = -1;
  const bool found = target_->find(store::GetText(a.number), handle);
  if (code == "L") {
    if (found && !target_->remove(handle)) return failed();
    return Step::Next;
  }
  // The whole stored article is replaced: what the A record does not carry
  // becomes empty.
  if (found) {
    if (!target_->rewrite(working_, handle)) return failed();
  } else if (code == "N") {
    if (!target_->insert(working_, handle)) return failed();
  } else {
    return Step::Next;
  }
  stored_ = true;
  moved_ = false;
  handle_ = handle;
  return Step::Next;
}

Import::Step Import::bLine(const Fields& fields) {
  const std::string_view code = fields[2];
  const std::string_view number = Cut(fields[3], kNumberWidth);
  const std::string_view matchcode = Cut(fields[4], kNumberWidth);
  std::int32_t handle = -1;
  if (code == "L") {
    if (target_->find(number, handle)) {
      if (!target_->remove(handle)) return failed();
      moved_ = true;
    }
    return Step::Next;
  }
  // The B record right behind the A record that stored its article.
  if (code == "N" && stored_ && number == store::GetText(working_.number)) {
    refresh(working_, matchcode, fields[12]);
    if (moved_ && !target_->find(number, handle_)) return Step::Next;
    if (!target_->rewrite(working_, handle_)) return failed();
    working_ = ArticleRecord{};
    stored_ = false;
    return Step::Next;
  }
  if (!target_->find(number, handle)) {
    if (code == "N")
      tell("Artikel " + platform::Cp1252ToUtf8(number) +
               "\nist noch nicht angelegt !\nB-Eintrag wird nicht übernommen.",
           frame::Icon::Exclamation);
    return Step::Next;
  }
  ArticleRecord article{};
  if (!target_->read(article, handle)) return failed();
  refresh(article, matchcode, code == "N" ? fields[12] : fields[10]);
  if (!target_->rewrite(article, handle)) return failed();
  return Step::Next;
}

ImportResult Import::run() {
  frame::WaitCursor wait(app_.ui);
  platform::File file;
  const platform::ReadRefusal why = platform::OpenForReading(
      *app_.fileSystem, options_.fileName, kImportFileMax, file, platform::Share::DenyNone);
  if (why != platform::ReadRefusal::None) {
    // A file that is not there is the caller's to name; a pipe or a file of
    // absurd size is named here, before a byte of it is read.
    if (why == platform::ReadRefusal::NotRegular || why == platform::ReadRefusal::TooLarge)
      tell(platform::ReadRefusalText(options_.fileName, why, kImportFileMax), frame::Icon::Stop);
    result_.end = ImportEnd::NotOpened;
    return result_;
  }
  const std::int64_t size = file.size();
  const bool ownProgress = !hooks_.progress && app_.ui;
  if (ownProgress) app_.ui->beginProgress();
  LineReader reader(file);
  std::string line;
  int shown = -1;
  auto lastShown = std::chrono::steady_clock::now();
  while (reader.next(line)) {
    lineNumber_ = reader.lineNumber();
    if (reader.cut() && result_.cutLines++ == 0) firstCut_ = lineNumber_;
    Step step = Step::Next;
    if (line[0] == 'V')
      step = header(line);
    else if (line[0] == 'A' || line[0] == 'B')
      step = articleLine(line);
    if (step == Step::Stop) break;
    if (target_ && !target_->between()) {
      failed();
      break;
    }
    // The bar moves with the file position; between its steps the keys are
    // still looked at now and then, so that Esc is heard at once.
    const int percent =
        size > 0 ? static_cast<int>(static_cast<std::int64_t>(reader.position()) * 100 / size) : 100;
    const auto now = std::chrono::steady_clock::now();
    if (percent != shown || now - lastShown >= std::chrono::milliseconds(40)) {
      if (target_) showCount();
      shown = percent;
      lastShown = now;
      if (progress(percent)) {
        result_.end = ImportEnd::Stopped;
        break;
      }
    }
  }
  if (target_) {
    if (!target_->finish() && result_.end != ImportEnd::Failed) failed();
    showCount();
    result_.articles = target_->count();
  } else {
    result_.articles = app_.articles.lastIndex + 1;
  }
  if (app_.articles.position > app_.articles.lastIndex) app_.articles.position = app_.articles.lastIndex;
  if (ownProgress) app_.ui->endProgress();
  tellPassedOver();
  return result_;
}

}  // namespace

ImportResult ImportDatanorm(frame::AppState& app, const ImportOptions& options,
                            const ImportHooks& hooks) {
  return Import(app, options, hooks).run();
}

}  // namespace datanorm
