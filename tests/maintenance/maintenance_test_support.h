// A data directory by key, and runs killed at their Nth change of a file.
#ifndef BELVON_TESTS_MAINTENANCE_MAINTENANCE_TEST_SUPPORT_H
#define BELVON_TESTS_MAINTENANCE_MAINTENANCE_TEST_SUPPORT_H

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/file.h"
#include "store/discount_file.h"
#include "store/text_field.h"
#include "support/order_book.h"
#include "support/temp_dir.h"

namespace testsupport {

using Bytes = std::vector<std::uint8_t>;

template <typename T>
T At(const Bytes& b, std::size_t at) {
  T v{};
  if (at + sizeof v <= b.size()) std::memcpy(&v, &b[at], sizeof v);
  return v;
}

inline std::string Text(const Bytes& b, std::int64_t at, std::size_t width) {
  if (at < 0 || static_cast<std::size_t>(at) >= b.size()) return "-";
  return std::string(store::GetText(reinterpret_cast<const char*>(&b[at]),
                                    std::min<std::size_t>(width, b.size() - at)));
}

inline std::string Span(const Bytes& b, std::size_t from, std::size_t to) {
  return from < to && to <= b.size() ? std::string(b.begin() + from, b.begin() + to) : "?";
}

// Where a record lies in its file and what it holds (record offsets,
// references and lengths left out).
struct KeyedRecord {
  std::string file;
  std::size_t from = 0, to = 0;
  std::string bytes;
};

// Every record reachable from an index, with every reference replaced by the
// key of what it reaches (record offsets and lengths left out). With `records`,
// each record also by its key: "A" number, "K" name 2, "R" order number.
inline std::string ByKey(const std::string& dir,
                         std::map<std::string, KeyedRecord>* records = nullptr) {
  auto file = [&dir](const char* name) { return ReadBytes(dir + name); };
  const Bytes ai = file("ARTIKEL.IDX"), ad = file("ARTIKEL.DAT"), ki = file("KUNDEN.IDX"),
              kd = file("KUNDEN.DAT"), ri = file("RECHNUNG.IDX"), rd = file("RECHNUNG.DAT"),
              rab = file("RABATT.DAT");
  auto keep = [records](const std::string& key, const char* name, std::size_t from,
                        std::size_t to, std::string bytes) {
    if (records) (*records)[key] = {name, from, to, std::move(bytes)};
  };
  std::ostringstream out;
  // A damaged header never makes the walk run past the entries held.
  for (int i = 0; i <= At<std::int32_t>(ai, 0) && 4 + 26 * (i + 1u) <= ai.size(); ++i) {
    const std::size_t at = At<std::uint32_t>(ai, 4 + 26 * i + 22);
    out << "A" << Span(ad, at + 2, at + 520) << "\n";
    keep("A" + Text(ad, at + 2, 22), "ARTIKEL.DAT", at, at + 520, Span(ad, at + 2, at + 520));
  }
  for (int i = 0; i <= At<std::int16_t>(ki, 0) && 2 + 46 * (i + 1u) <= ki.size(); ++i) {
    const std::size_t at = At<std::uint32_t>(ki, 2 + 46 * i + 42);
    out << "K" << Span(kd, at + 2, at + 1192) << "\n";
    keep("K" + Text(kd, at + 56, 42), "KUNDEN.DAT", at, at + 1192, Span(kd, at + 2, at + 1192));
  }
  for (int i = 0; i <= At<std::int16_t>(ri, 0) && 2 + 12 * (i + 1u) <= ri.size(); ++i) {
    const std::size_t head = At<std::uint32_t>(ri, 2 + 12 * i + 8);
    out << "R" << At<std::int32_t>(ri, 2 + 12 * i + 4) << " "
        << Text(kd, At<std::int32_t>(ri, 2 + 12 * i) + 56, 42) << "|"
        << Text(kd, At<std::int32_t>(rd, head + 2) + 56, 42) << Span(rd, head + 6, head + 80);
    std::string own = Span(rd, head + 6, head + 80);
    for (int l = 0; l < std::min<int>(At<std::int16_t>(rd, head + 24), 369); ++l) {
      const std::size_t line = head + 80 + 402 * l;
      out << "|" << Span(rd, line + 2, line + 392)
          << Text(ad, At<std::int32_t>(rd, line + 392) + 2, 22) << Span(rd, line + 396, line + 402);
      own += Span(rd, line + 2, line + 392) + Span(rd, line + 396, line + 402);
    }
    out << "\n";
    keep("R" + std::to_string(At<std::int32_t>(rd, head + 6)), "RECHNUNG.DAT", head,
         head + 80 + 402 * std::max(0, int{At<std::int16_t>(rd, head + 24)}), own);
  }
  for (std::size_t at = 0; at + 10 <= rab.size(); at += 10)
    out << "D" << Text(kd, At<std::int32_t>(rab, at) + 56, 42) << "|"
        << Text(ad, At<std::int32_t>(rab, at + 4) + 2, 22) << At<std::int16_t>(rab, at + 8) << "\n";
  return out.str();
}

inline std::map<std::string, Bytes> Files(const std::string& dir) {
  std::map<std::string, Bytes> files;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    files[e.path().filename().string()] = ReadBytes(e.path().string());
  return files;
}

inline void CopyFiles(const std::string& from, const std::string& to) {
  for (const auto& e : std::filesystem::directory_iterator(from))
    std::filesystem::copy_file(e.path(), to + e.path().filename().string());
}

// A started program with 12 articles, 6 customers with an order of two
// article lines each, and discounts; Change(n) renames articles and
// addresses n times back and forth, leaving their old copies in the files.
struct StockedBook : OrderBook {
  void Discount(std::int32_t articleRef) {
    store::OrderLine line{};
    line.articleRef = articleRef;
    line.discount = 50;
    store::AppendDiscount(app, line);
  }
  void Stock() {
    std::vector<std::int32_t> articles;
    for (int i = 0; i < 12; ++i) articles.push_back(article("ART" + std::to_string(10 + i), i));
    auto number = [](int i) { return "ART" + std::to_string(10 + i); };
    for (int i = 0; i < 6; ++i) {
      order(customer("Kunde " + std::to_string(i)), 0,
            {{1, 100 * i, articles[i], 0, 0, number(i).c_str()},
             {2, 50, articles[i + 5], 0, 0, number(i + 5).c_str()}});
      Discount(articles[(i + 3) % 12]);
    }
  }
  static std::string Toggled(std::string_view key) {
    return key.ends_with('x') ? std::string(key.substr(0, key.size() - 1)) : std::string(key) + "x";
  }
  void Change(int n) {
    for (int k = 0; k < n; ++k) {
      std::int32_t position = k % 12;
      store::ArticleRecord a{};
      store::ReadArticle(app, a, position);
      store::SetText(a.number, Toggled(store::GetText(a.number)));
      store::WriteArticle(app, a, position, false);
      position = k % 6;
      store::AddressRecord c{};
      store::ReadAddress(app, c, position);
      store::SetText(c.name3, std::to_string(k));
      store::SetText(c.name2, Toggled(store::GetText(c.name2)));
      store::WriteAddress(app, c, position, false);
    }
  }
  // Puts the files of `files` back as they were, and only those.
  void Restore(const std::map<std::string, Bytes>& files) { Restore(files, dir.path()); }
  static void Restore(const std::map<std::string, Bytes>& files, const std::string& path) {
    for (const auto& e : std::filesystem::directory_iterator(path))
      if (!files.count(e.path().filename().string())) std::filesystem::remove(e.path());
    for (const auto& [name, bytes] : files) WriteBytes(path + name, bytes);
  }
};

// In memory where offered: the kill runs test the order of steps, not flushes.
class ScratchDir {
 public:
  ScratchDir() {
    std::string root = std::filesystem::is_directory("/dev/shm")
                           ? std::string("/dev/shm")
                           : std::filesystem::temp_directory_path().string();
    std::string pattern = root + "/belvon-kill-XXXXXX";
    path_ = std::string(::mkdtemp(pattern.data()) ? pattern : root) + "/";
  }
  ~ScratchDir() { std::filesystem::remove_all(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Runs `run` in a child process that kills itself at its Nth write, flush,
// rename or removal; true when the child came to its end first.
inline bool RunsToTheEnd(int n, const std::function<void(platform::FileSystem&)>& run) {
  struct Killing : platform::FileSystem {
    int left;
    explicit Killing(int n) : left(n) {}
    bool injectFault(platform::IoOp op, const std::string&) override {
      if (op != platform::IoOp::Open && op != platform::IoOp::Read && op != platform::IoOp::Lock &&
          --left == 0)
        ::kill(::getpid(), SIGKILL);
      return false;
    }
  };
  pid_t child = ::fork();
  if (child == 0) {
    Killing fs(n);
    run(fs);
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status);
}

}  // namespace testsupport

#endif  // BELVON_TESTS_MAINTENANCE_MAINTENANCE_TEST_SUPPORT_H
