#include "receive/inbox_list.h"

#include <algorithm>
#include <charconv>

namespace receive {

namespace {

constexpr std::size_t kFixedFields = 18;

// Tabs, line ends and backslashes inside a field are written \t, \n, \r, \\.
std::string Escape(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (char c : field) {
    switch (c) {
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string Unescape(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\' || i + 1 == field.size()) {
      out += field[i];
      continue;
    }
    const char next = field[++i];
    out += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
  }
  return out;
}

std::vector<std::string> Split(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(Unescape(line.substr(start, tab - start)));
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  return fields;
}

bool ReadEntry(std::string_view line, InboxEntry& e) {
  std::vector<std::string> f = Split(line);
  if (f.size() < kFixedFields) return false;
  const auto parsed = std::from_chars(f[0].data(), f[0].data() + f[0].size(), e.id);
  if (parsed.ec != std::errc() || parsed.ptr != f[0].data() + f[0].size() || e.id <= 0)
    return false;
  std::string* fields[] = {&e.received, &e.sha256,      &e.fileName, &e.originalName, &e.format,
                           &e.seller,   &e.sellerVatId, &e.number,   &e.issueDate,    &e.currency,
                           &e.net,      &e.tax,         &e.total,    &e.due,          &e.dueDate,
                           &e.iban,     &e.paidOn};
  for (std::size_t i = 0; i < std::size(fields); ++i) *fields[i] = std::move(f[i + 1]);
  // A kept file's name never leads out of the folder.
  if (e.fileName.empty() || e.fileName.find('/') != std::string::npos || e.fileName[0] == '.')
    return false;
  e.findings.assign(f.begin() + kFixedFields, f.end());
  return true;
}

}  // namespace

const InboxEntry* InboxList::find(int id) const {
  for (const InboxEntry& e : entries)
    if (e.id == id) return &e;
  return nullptr;
}

InboxEntry* InboxList::find(int id) {
  return const_cast<InboxEntry*>(static_cast<const InboxList*>(this)->find(id));
}

int InboxList::nextId() const {
  int highest = 0;
  for (const InboxEntry& e : entries) highest = std::max(highest, e.id);
  return highest + 1;
}

InboxList ParseInboxList(std::string_view text) {
  InboxList list;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line == kInboxListHeading) continue;
    InboxEntry entry;
    if (ReadEntry(line, entry) && !list.find(entry.id))
      list.entries.push_back(std::move(entry));
    else
      list.foreign.emplace_back(line);
  }
  return list;
}

std::string InboxListText(const InboxList& list) {
  std::string text = std::string(kInboxListHeading) + "\n";
  for (const InboxEntry& e : list.entries) {
    const std::string* fields[] = {
        &e.received,    &e.sha256, &e.fileName,  &e.originalName, &e.format, &e.seller,
        &e.sellerVatId, &e.number, &e.issueDate, &e.currency,     &e.net,    &e.tax,
        &e.total,       &e.due,    &e.dueDate,   &e.iban,         &e.paidOn};
    text += std::to_string(e.id);
    for (const std::string* field : fields) text += "\t" + Escape(*field);
    for (const std::string& finding : e.findings) text += "\t" + Escape(finding);
    text += "\n";
  }
  for (const std::string& line : list.foreign) text += line + "\n";
  return text;
}

}  // namespace receive
