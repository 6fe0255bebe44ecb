#include "masterdata/article_search.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "core/user_interface.h"
#include "store/bytes.h"
#include "store/collation.h"
#include "store/data_file.h"
#include "store/article_text.h"
#include "store/indexed_file.h"
#include "store/text_field.h"

namespace masterdata {

namespace {

using platform::Access;
using platform::Share;

constexpr std::array<unsigned char, 256> MakeFoldTable() {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c)
    table[c] = (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A')
                                      : static_cast<unsigned char>(c);
  return table;
}
constexpr std::array<unsigned char, 256> kFold = MakeFoldTable();

// Appends the text upper-cased (a-z) and a zero byte, which no word holds, so
// that a word never matches across two fields.
void AppendFolded(std::string& haystack, std::string_view text) {
  const std::size_t at = haystack.size();
  haystack.resize(at + text.size() + 1);
  char* out = haystack.data() + at;
  for (unsigned char c : text) *out++ = static_cast<char>(kFold[c]);
  *out = '\0';
}

bool ContainsAll(std::string_view haystack, const std::vector<std::string>& words) {
  for (const std::string& word : words)
    if (haystack.find(word) == std::string_view::npos) return false;
  return true;
}

// The progress box between records: only a changed percentage is passed on
// (each update lets the event loop run, which would cost more than the
// search itself).
class Progress {
 public:
  Progress(frame::UserInterface* ui, std::int32_t total) : ui_(ui), total_(total) {
    if (ui_) ui_->beginProgress();
  }
  ~Progress() {
    if (ui_) ui_->endProgress();
  }
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  // True when the user pressed Esc.
  bool at(std::int32_t entry) {
    if (!ui_) return false;
    int percent = static_cast<int>((std::int64_t{entry} + 1) * 100 / total_);
    if (percent == shown_) return false;
    shown_ = percent;
    return ui_->progress(percent);
  }

 private:
  frame::UserInterface* ui_;
  std::int32_t total_;
  int shown_ = -1;
};

ArticleHit HitFrom(std::int32_t position, const store::ArticleRecord& article) {
  return {position, std::string(store::GetText(article.number)),
          std::string(store::GetText(article.designation))};
}

// The words of the first kSearchTextChars characters.
std::vector<std::string> LimitedWords(std::string_view text) {
  return SearchWords(text.substr(0, std::min<std::size_t>(text.size(), kSearchTextChars)));
}

// A hit of the search by number: the record as it is stored, or only its
// number from the index when it cannot be read.
ArticleHit NumberHit(const store::IndexBlock& block, platform::File& data, std::int32_t i) {
  store::ArticleRecord article{};
  if (store::ReadFramedRecord(data, block.recordOffset(i), store::AsBytes(article), true) < 0)
    store::SetText(article.number, block.key(i));
  return HitFrom(i, article);
}

// Only the number counts: the index alone decides, and just the hits are
// read for their designation.
void SearchNumbers(const store::IndexBlock& block, platform::File& data,
                   const std::vector<std::string>& words, Progress& progress,
                   ArticleSearchResult& result) {
  std::vector<std::int32_t> matched;
  std::string key;
  for (std::int32_t i = 0; i < block.count; ++i) {
    if (progress.at(i)) {
      result.cancelled = true;
      break;
    }
    key.clear();
    AppendFolded(key, block.key(i));
    if (!ContainsAll(key, words)) continue;
    if (static_cast<int>(matched.size()) == kArticleSearchLimit) {
      result.moreThanLimit = true;
      break;
    }
    matched.push_back(i);
  }
  for (std::int32_t i : matched) result.hits.push_back(NumberHit(block, data, i));
}

// Every field counts: all records are read, in the order they lie in the
// file, and the hits are put back into index order afterwards.
void SearchAllFields(const store::IndexBlock& block, platform::File& data,
                     const std::vector<std::string>& words, std::size_t blockSize,
                     Progress& progress, ArticleSearchResult& result) {
  std::vector<std::pair<std::uint32_t, std::int32_t>> byOffset(block.count);
  for (std::int32_t i = 0; i < block.count; ++i) byOffset[i] = {block.recordOffset(i), i};
  std::sort(byOffset.begin(), byOffset.end());

  store::RecordWindow window(data, blockSize, sizeof(store::ArticleRecord));
  store::ArticleRecord article{};
  std::string haystack;
  haystack.reserve(sizeof article);
  for (std::int32_t k = 0; k < block.count; ++k) {
    if (progress.at(k)) {
      result.cancelled = true;
      break;
    }
    const auto [offset, position] = byOffset[k];
    if (!window.read(offset, store::AsBytes(article))) continue;  // as the browse steps skip it
    haystack.clear();
    AppendFolded(haystack, store::GetText(article.number));
    AppendFolded(haystack, store::GetText(article.designation));
    AppendFolded(haystack, store::GetText(article.remark1));
    AppendFolded(haystack, store::GetText(article.remark2));
    AppendFolded(haystack, store::GetText(article.supplier));
    AppendFolded(haystack, store::GetText(article.productGroup));
    if (ContainsAll(haystack, words)) result.hits.push_back(HitFrom(position, article));
  }
  std::sort(result.hits.begin(), result.hits.end(),
            [](const ArticleHit& a, const ArticleHit& b) { return a.position < b.position; });
  if (result.hits.size() > static_cast<std::size_t>(kArticleSearchLimit)) {
    result.moreThanLimit = true;
    result.hits.resize(kArticleSearchLimit);
  }
}

}  // namespace

std::vector<std::string> SearchWords(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  for (char c : text) {
    if (c == ' ' || c == ',' || c == '\0') {
      if (!word.empty()) words.push_back(store::UpperAscii(word));
      word.clear();
    } else {
      word.push_back(c);
    }
  }
  if (!word.empty()) words.push_back(store::UpperAscii(word));
  return words;
}

namespace {

// Index and records, both read-locked for the whole search; false when
// either cannot be opened.
bool OpenArticleFiles(frame::AppState& app, platform::File& index, platform::File& data) {
  index = store::OpenData(app, store::kArticleIndexName, Access::Read, Share::DenyWrite);
  if (index) data = store::OpenData(app, store::kArticleDataName, Access::Read, Share::DenyWrite);
  return index && data;
}

}  // namespace

ArticleSearchResult SearchArticlesPlain(frame::AppState& app, std::string_view text, bool allFields,
                                        const ArticleSearchOptions& options) {
  ArticleSearchResult result;
  const std::vector<std::string> words = LimitedWords(text);
  if (words.empty()) return result;

  platform::File index, data;
  if (!OpenArticleFiles(app, index, data)) {
    result.unreadable = true;
    return result;
  }
  store::IndexBlock block;
  store::ArticleFile(app).ReadIndex(index, block);
  if (block.count == 0) return result;

  Progress progress(app.ui, block.count);
  if (allFields)
    SearchAllFields(block, data, words, options.blockSize, progress, result);
  else
    SearchNumbers(block, data, words, progress, result);
  return result;
}

ArticleSearchResult SearchArticles(frame::AppState& app, std::string_view text, bool allFields) {
  ArticleSearchResult result;
  const std::vector<std::string> words = LimitedWords(text);
  if (words.empty()) return result;

  // Both files stay read-locked from the check of the kept text to the last
  // hit read, as for the plain scan.
  platform::File index, data;
  if (!OpenArticleFiles(app, index, data)) {
    result.unreadable = true;
    return result;
  }
  store::ArticleText& kept = store::KeptArticleText(app);
  std::int32_t last = -1;
  if (!kept.takeIndex(index, last)) return result;
  app.articles.lastIndex = last;
  const store::IndexBlock& block = kept.index();
  if (block.count == 0) return result;
  constexpr std::size_t kAsked = kArticleSearchLimit + 1;

  // The hits' records are read one at a time, each by a single read.
  store::RecordWindow records(data, sizeof(store::ArticleRecord), sizeof(store::ArticleRecord));
  if (!allFields) {
    const std::vector<std::int32_t> found = kept.findNumbers(words, kAsked);
    result.moreThanLimit = found.size() == kAsked;
    for (std::size_t i = 0; i < found.size() && i < static_cast<std::size_t>(kArticleSearchLimit); ++i) {
      store::ArticleRecord article{};
      if (!records.read(block.recordOffset(found[i]), store::AsBytes(article)) || records.failed()) {
        article = store::ArticleRecord{};
        store::SetText(article.number, block.key(found[i]));
      }
      result.hits.push_back(HitFrom(found[i], article));
    }
    return result;
  }

  store::ArticleText::Build build = store::ArticleText::Build::Done;
  if (!kept.fieldsCurrent(data)) {
    Progress progress(app.ui, block.count);
    build = kept.buildFields(data, [&progress](std::int32_t k) { return progress.at(k); });
  }
  if (build != store::ArticleText::Build::Failed) {
    const std::vector<std::int32_t> found = kept.findFields(words, kAsked);
    if (build == store::ArticleText::Build::Cancelled) {
      result.cancelled = true;
      kept.dropFields();  // it holds only what was read before Esc
    }
    result.moreThanLimit = found.size() == kAsked;
    bool read = true;
    for (std::size_t i = 0; read && i < found.size() && i < static_cast<std::size_t>(kArticleSearchLimit); ++i) {
      store::ArticleRecord article{};
      read = records.read(block.recordOffset(found[i]), store::AsBytes(article)) && !records.failed();
      result.hits.push_back(HitFrom(found[i], article));
    }
    if (read) return result;
    kept.dropFields();
  }
  // ARTIKEL.DAT could not be read as it was before: the plain scan gives
  // what it gives today.
  result = {};
  Progress progress(app.ui, block.count);
  SearchAllFields(block, data, words, ArticleSearchOptions{}.blockSize, progress, result);
  return result;
}

}  // namespace masterdata
