#include "datanorm/datanorm_export.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>
#include <cstdio>

#include "datanorm/code_page_850.h"
#include "core/decimal.h"
#include "core/user_interface.h"
#include "platform/cp1252.h"
#include "platform/output_file.h"
#include "store/article_record.h"
#include "store/bytes.h"
#include "store/data_file.h"
#include "store/indexed_file.h"
#include "store/text_field.h"

namespace datanorm {

namespace {

using platform::Access;
using platform::Share;

// A text as a field: a semicolon would end the field early and a line break
// the record, so they become a comma and a blank.
std::string FieldText(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == ';') c = ',';
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

// Up to this much of ARTIKEL.DAT is read into memory in one piece (a
// catalogue of 100 000 articles is 52 MB); a larger file is read record by
// record.
constexpr std::int64_t kWholeFileLimit = std::int64_t{64} << 20;

// The record at `offset` as the record store reads it (the tail behind a
// shorter record stays zero), from the file read whole or by one seek and
// one read.
bool ReadArticleAt(platform::File& data, const std::vector<std::uint8_t>& whole,
                   std::uint64_t size, std::uint64_t offset, store::ArticleRecord& article) {
  std::memset(&article, 0, sizeof article);
  if (offset + 2 > size) return false;
  const std::size_t there = static_cast<std::size_t>(std::min<std::uint64_t>(sizeof article, size - offset));
  if (!whole.empty())
    std::memcpy(&article, whole.data() + offset, there);
  else if (!data.seek(offset) || data.read(&article, there) != there)
    return false;
  const std::uint16_t length = article.length;
  const std::size_t keep = length < 2 ? 2 : std::min<std::size_t>(length, sizeof article);
  if (keep < there) std::memset(reinterpret_cast<char*>(&article) + keep, 0, there - keep);
  return true;
}

// The price field holds 8 characters, the minus included.
constexpr std::size_t kPriceWidth = 8;

// The numbers of the articles left out, told at the end (the first few).
class LeftOut {
 public:
  void add(std::string_view number) {
    if (++count_ <= kNamed) names_ += "\n" + platform::Cp1252ToUtf8(number);
  }
  long count() const { return count_; }
  std::string message() const {
    std::string text = frame::Format(
        "%ld Artikel wurden nicht exportiert: ihr Verkaufspreis passt nicht in das Preisfeld "
        "(höchstens %zu Stellen):",
        count_, kPriceWidth);
    text += names_;
    if (count_ > kNamed) text += frame::Format("\nund %ld weitere.", count_ - kNamed);
    return text;
  }

 private:
  static constexpr long kNamed = 10;
  long count_ = 0;
  std::string names_;
};

class Output {
 public:
  explicit Output(platform::OutputFile& file) : file_(file) {}
  // Appends one line (Windows-1252, without its line end) in code page 850.
  void line(std::string text) {
    WindowsToOem(text);
    buffer_ += text;
    buffer_ += "\r\n";
    if (buffer_.size() >= (std::size_t{1} << 20)) flush();
  }
  // False once a write failed.
  bool flush() {
    const bool written = file_.write(buffer_);
    buffer_.clear();
    return written;
  }

 private:
  platform::OutputFile& file_;
  std::string buffer_;
};

}  // namespace

ExportResult ExportDatanorm(frame::AppState& app, const std::string& fileName,
                            const std::function<bool(int percent)>& progress) {
  ExportResult result;
  platform::OutputFile file(*app.fileSystem, fileName);
  if (!file.isOpen()) {
    result.end = ExportEnd::NotCreated;
    return result;
  }
  const bool ownProgress = !progress && app.ui;
  if (ownProgress) app.ui->beginProgress();
  auto stopped = [&](int percent) {
    return progress ? progress(percent) : (app.ui && app.ui->progress(percent));
  };
  Output out(file);
  char line[512];
  std::snprintf(line, sizeof line, "V %6s%40s%40s%35s04EUR", "180907", "Zarvento EDV-Entwicklung",
                "-", "-");
  out.line(line);

  // Index and records stay held for the run, so the file shows one state.
  platform::File index =
      store::OpenData(app, store::kArticleIndexName, Access::Read, Share::DenyWrite);
  platform::File data =
      index ? store::OpenData(app, store::kArticleDataName, Access::Read, Share::DenyWrite)
            : platform::File();
  store::IndexBlock block;
  std::string leftOutMessage;
  const std::int64_t size = data ? data.size() : -1;
  if (size < 0 || !store::ArticleFile(app).ReadIndex(index, block)) {
    result.end = ExportEnd::Unreadable;
  } else {
    std::vector<std::uint8_t> whole;
    if (size <= kWholeFileLimit) {
      whole.resize(static_cast<std::size_t>(size));
      if (!data.seek(0) || !data.readExact(whole.data(), whole.size())) whole.clear();
    }
    int shown = -1;
    auto lastShown = std::chrono::steady_clock::now();
    store::ArticleRecord a{};
    LeftOut leftOut;
    for (std::int32_t i = 0; i < block.count; ++i) {
      const int percent = static_cast<int>(100LL * (i + 1) / block.count);
      const auto now = std::chrono::steady_clock::now();
      if (percent != shown || now - lastShown >= std::chrono::milliseconds(40)) {
        shown = percent;
        lastShown = now;
        if (stopped(percent)) {
          result.end = ExportEnd::Stopped;
          break;
        }
      }
      if (!ReadArticleAt(data, whole, static_cast<std::uint64_t>(size), block.recordOffset(i), a))
        continue;
      const std::string number = FieldText(store::GetText(a.number));
      char price[16];
      if (static_cast<std::size_t>(std::snprintf(price, sizeof price, "%ld",
                                                 static_cast<long>(a.price1))) > kPriceWidth) {
        leftOut.add(number);
        continue;
      }
      std::snprintf(line, sizeof line, "A;N;%.15s;;%.40s;%.40s;1;0;Stck;%s;;;;", number.c_str(),
                    FieldText(store::GetText(a.remark1)).c_str(),
                    FieldText(store::GetText(a.remark2)).c_str(), price);
      out.line(line);
      std::snprintf(line, sizeof line, "B;N;%.15s;%.15s;;;0;;;;;;0;1;;;", number.c_str(),
                    FieldText(store::GetText(a.designation)).c_str());
      out.line(line);
      ++result.articles;
    }
    result.leftOut = leftOut.count();
    if (leftOut.count() > 0) leftOutMessage = leftOut.message();
  }
  // A file that could not be written whole is not left behind (an import of
  // a cut file would take it for the whole catalogue); without the articles
  // nothing replaces what the file held before.
  if (result.end != ExportEnd::Unreadable && (!out.flush() || !file.commit())) {
    result.end = ExportEnd::NotWritten;
    if (app.ui) app.ui->message(platform::OutputFailureText(fileName), frame::Icon::Stop);
  }
  if (ownProgress) app.ui->endProgress();
  if (!leftOutMessage.empty() && app.ui) app.ui->message(leftOutMessage, frame::Icon::Exclamation);
  return result;
}

}  // namespace datanorm
