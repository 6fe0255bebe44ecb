#include "datanorm/article_target.h"

#include "store/article_file.h"
#include "store/bytes.h"
#include "store/indexed_file.h"
#include "store/text_field.h"

namespace datanorm {

bool RecordTarget::find(std::string_view number, std::int32_t& handle) {
  store::ArticleRecord key{};
  store::SetText(key.number, number);
  // A catalogue names one article exactly: "ABC" never changes "abc".
  return store::ArticleFile(app_).LookupExactKey(store::AsBytes(key), handle) == 1;
}

bool RecordTarget::insert(store::ArticleRecord& article, std::int32_t& handle) {
  return store::WriteArticle(app_, article, handle, true) == 1;
}

bool RecordTarget::rewrite(store::ArticleRecord& article, std::int32_t handle) {
  return store::WriteArticle(app_, article, handle, false) == 1;
}

bool RecordTarget::read(store::ArticleRecord& article, std::int32_t handle) {
  return store::ReadArticle(app_, article, handle) == 1;
}

bool RecordTarget::remove(std::int32_t handle) {
  return store::DeleteArticle(app_, handle) == 1;
}

}  // namespace datanorm
