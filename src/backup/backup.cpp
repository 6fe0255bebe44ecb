#include "backup/backup.h"

#include <archive.h>
#include <archive_entry.h>
#include <stdlib.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "backup/backup_reminder.h"
#include "core/sha256.h"
#include "core/user_interface.h"
#include "maintenance/structure_test.h"
#include "platform/output_file.h"
#include "store/data_file.h"
#include "store/file_replacement.h"

namespace backup {

namespace {

namespace fsys = std::filesystem;

constexpr std::size_t kChunk = 1 << 20;
// A manifest larger than this is no manifest of ours.
constexpr std::size_t kManifestLimit = 256u << 20;

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

bool IsHex64(const std::string& text) {
  return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
         });
}

// The regular files below `folder`, relative to it, sorted; what is not a
// regular file or leads out of the folder goes to `skipped`.
bool ListFiles(platform::FileSystem& fs, const std::string& folder,
               std::vector<std::string>& files, std::vector<std::string>& skipped) {
  std::error_code error;
  fsys::recursive_directory_iterator it(folder, fsys::directory_options::none, error), end;
  for (; !error && it != end; it.increment(error)) {
    const fsys::path& path = it->path();
    std::string relative = fsys::path(path).lexically_relative(folder).generic_string();
    std::error_code kindError;
    if (it->is_symlink(kindError)) {
      // A link is followed only to a regular file inside the directory; a
      // linked folder is never walked into.
      if (fs.linkLeaves(path.string(), folder) || fs.kind(path.string()) != platform::PathKind::Regular) {
        if (BelongsToBackup(relative))
          skipped.push_back(relative + " (Verknüpfung, die nicht auf eine Datei im Datenverzeichnis führt)");
        continue;
      }
    } else if (it->is_directory(kindError)) {
      continue;
    } else if (!it->is_regular_file(kindError)) {
      if (BelongsToBackup(relative)) skipped.push_back(relative + " (keine gewöhnliche Datei)");
      continue;
    }
    if (!BelongsToBackup(relative)) continue;
    if (!SafeRelativePath(relative)) {
      skipped.push_back(relative + " (der Name kann nicht gesichert werden)");
      continue;
    }
    files.push_back(relative);
  }
  std::sort(files.begin(), files.end());
  // A folder that cannot be read would leave its files out unseen.
  return !error;
}

// The issued documents: an issue writes them into this folder while it
// holds the order files (store/issue_archive.h).
constexpr const char* kArchiveFolder = "ARCHIV/";

bool InIssueArchive(const std::string& relative) {
  return relative.compare(0, std::strlen(kArchiveFolder), kArchiveFolder) == 0;
}

// Groups of files read under their locks together: an index with its record
// file (and, for the orders, the book of issued invoices that an issue
// appends to while it holds the order index, and the folder of issued
// documents, listed anew once the order files are held), in the order every
// writer takes them; every other file alone.
std::vector<std::vector<std::string>> LockGroups(const std::vector<std::string>& files) {
  const std::vector<std::vector<std::string>> pairs = {
      {store::kArticleIndexName, store::kArticleDataName},
      {store::kAddressIndexName, store::kAddressDataName},
      {store::kOrderIndexName, store::kOrderDataName, "AUSGANG.DAT"}};
  std::set<std::string> grouped;
  std::vector<std::vector<std::string>> groups;
  const std::set<std::string> present(files.begin(), files.end());
  for (const auto& pair : pairs) {
    std::vector<std::string> group;
    for (const std::string& name : pair)
      if (present.count(name)) {
        group.push_back(name);
        grouped.insert(name);
      }
    if (!group.empty()) groups.push_back(group);
  }
  const bool orderGroup = present.count(store::kOrderIndexName) > 0;
  for (const std::string& file : files)
    if (!grouped.count(file) && !(orderGroup && InIssueArchive(file))) groups.push_back({file});
  return groups;
}

// Where libarchive's bytes go: the output file, counted and hashed for the
// seal behind them.
struct Sink {
  platform::OutputFile* out;
  frame::Sha256 hash;
  std::uint64_t size = 0;
};

ssize_t WriteToOutput(struct archive*, void* client, const void* buffer, size_t length) {
  auto* sink = static_cast<Sink*>(client);
  const std::string_view bytes(static_cast<const char*>(buffer), length);
  if (!sink->out->write(bytes)) return -1;
  sink->hash.add(bytes);
  sink->size += length;
  return static_cast<ssize_t>(length);
}

struct ArchiveWriter {
  struct archive* a = archive_write_new();
  ~ArchiveWriter() { archive_write_free(a); }
};

struct ArchiveReader {
  struct archive* a = archive_read_new();
  ~ArchiveReader() { archive_read_free(a); }
};

bool WriteEntryHeader(struct archive* a, const std::string& name, std::uint64_t size,
                      std::int64_t modifiedNs) {
  std::unique_ptr<archive_entry, void (*)(archive_entry*)> entry(archive_entry_new(),
                                                                   archive_entry_free);
  archive_entry_set_pathname(entry.get(), name.c_str());
  archive_entry_set_size(entry.get(), static_cast<la_int64_t>(size));
  archive_entry_set_filetype(entry.get(), AE_IFREG);
  archive_entry_set_perm(entry.get(), 0644);
  archive_entry_set_mtime(entry.get(), modifiedNs / 1000000000, modifiedNs % 1000000000);
  return archive_write_header(a, entry.get()) == ARCHIVE_OK;
}

bool WriteEntryData(struct archive* a, const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const la_ssize_t n = archive_write_data(a, p, size);
    if (n <= 0) return false;
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Reads the open file whole into the archive, hashing it; false when it
// could not be read as long as it is.
bool CopyIntoArchive(struct archive* a, platform::File& file, const std::string& relative,
                     ManifestEntry& entry) {
  const std::int64_t size = file.size();
  if (size < 0) return false;
  platform::FileIdentity identity;
  const std::int64_t modified = file.identity(identity) ? identity.modified : 0;
  if (!file.seek(0) ||
      !WriteEntryHeader(a, std::string(kDataFolder) + relative, static_cast<std::uint64_t>(size),
                        modified))
    return false;
  frame::Sha256 hash;
  std::vector<std::uint8_t> buffer(kChunk);
  std::uint64_t left = static_cast<std::uint64_t>(size);
  while (left > 0) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, kChunk));
    if (!file.readExact(buffer.data(), want)) return false;
    hash.add(std::span<const std::uint8_t>(buffer.data(), want));
    if (!WriteEntryData(a, buffer.data(), want)) return false;
    left -= want;
  }
  entry = {relative, static_cast<std::uint64_t>(size), frame::HexDigest(hash.finish())};
  return true;
}

// Tells what the structure test would show the user, instead of showing it.
class CollectingUi : public frame::UserInterface {
 public:
  void message(const std::string& text, frame::Icon) override { texts.push_back(text); }
  bool question(const std::string&, frame::Icon, bool) override { return false; }
  bool retryBusyFile(const std::string&) override { return false; }
  std::vector<std::string> texts;
};

void RunStructureTest(const std::string& folder, CheckOutcome& outcome) {
  frame::AppState app;
  CollectingUi ui;
  app.ui = &ui;
  app.dataDirectory = folder.back() == '/' ? folder : folder + "/";
  const std::vector<maintenance::StructureProblem> problems =
      maintenance::ExamineDataStructures(app);
  outcome.structureDamaged = maintenance::AnyOf(problems, maintenance::Finding::Damage) ||
                             maintenance::AnyOf(problems, maintenance::Finding::Unindexed);
  for (const std::string& text : ui.texts) outcome.structureProblems.push_back(text);
  for (const auto& problem : problems) outcome.structureProblems.push_back(problem.text);
}

// What reading an archive does with the bytes of each data file.
struct Unpacker {
  virtual ~Unpacker() = default;
  virtual bool begin(const std::string& relative) = 0;
  virtual bool write(const std::uint8_t* data, std::size_t size) = 0;
  virtual bool end() = 0;
};

// Told how many bytes of the archive were read so far; true stops the
// reading (the user pressed Esc).
using ReadProgress = std::function<bool(std::uint64_t read)>;

struct ReadSource {
  platform::File* file;
  const ReadProgress* progress = nullptr;
  std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(kChunk);
  std::uint64_t read = 0;
  bool stopped = false;
};

la_ssize_t ReadFromFile(struct archive*, void* client, const void** buffer) {
  auto* source = static_cast<ReadSource*>(client);
  if (source->progress && *source->progress && (*source->progress)(source->read)) {
    source->stopped = true;
    return -1;
  }
  const std::size_t n = source->file->read(source->bytes.data(), source->bytes.size());
  source->read += n;
  *buffer = source->bytes.data();
  return static_cast<la_ssize_t>(n);
}

// The gzip header our archives' members start with: deflate, no flags, no
// time, the default compression, Unix.
constexpr unsigned char kGzipHeader[10] = {0x1f, 0x8b, 8, 0, 0, 0, 0, 0, 0, 3};

// The seal: a second gzip member behind the tar stream, holding one stored
// block of kSealText bytes: "BELVON-SIEGEL <SHA-256 of every byte before the
// seal> <their number>\n", zero-padded. Deflate leaves bits that no
// decompression reads (the padding of stored blocks), so the compressed
// bytes are sealed as they are; the seal itself is made again from its text
// and compared byte for byte. Tar readers stop at the end blocks before it.
constexpr std::size_t kSealText = 512;
constexpr std::size_t kSealSize = sizeof kGzipHeader + 5 + kSealText + 8;
constexpr const char* kSealWord = "BELVON-SIEGEL ";

void PutLittle32(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

}  // namespace

std::string SealMember(const std::string& sha256, std::uint64_t size) {
  std::string text = kSealWord + sha256 + " " + std::to_string(size) + "\n";
  text.resize(kSealText, '\0');
  std::string member(reinterpret_cast<const char*>(kGzipHeader), sizeof kGzipHeader);
  member.push_back(1);  // the final block, stored
  member.push_back(static_cast<char>(kSealText & 0xff));
  member.push_back(static_cast<char>(kSealText >> 8));
  member.push_back(static_cast<char>(~kSealText & 0xff));
  member.push_back(static_cast<char>((~kSealText >> 8) & 0xff));
  member += text;
  PutLittle32(member, static_cast<std::uint32_t>(
                          crc32(0, reinterpret_cast<const Bytef*>(text.data()), kSealText)));
  PutLittle32(member, static_cast<std::uint32_t>(kSealText));
  return member;
}

namespace {

// The archive as a whole: its seal made again from its own text, the
// SHA-256 of everything before it, and that one gzip member of our exact
// header whose check sum (CRC-32 over the tar stream, the end blocks too)
// and length agree, ending where the seal begins.
bool CheckSealed(platform::FileSystem& fs, const std::string& archivePath) {
  platform::File file = fs.open(archivePath, platform::Access::Read, platform::Share::DenyNone);
  const std::int64_t fileSize = file ? file.size() : -1;
  if (fileSize < static_cast<std::int64_t>(kSealSize + sizeof kGzipHeader)) return false;
  const std::uint64_t sealed = static_cast<std::uint64_t>(fileSize) - kSealSize;
  std::string seal(kSealSize, '\0');
  if (!file.seek(sealed) || !file.readExact(seal.data(), kSealSize)) return false;
  const std::size_t textAt = sizeof kGzipHeader + 5;
  const std::string word = kSealWord;
  if (seal.compare(textAt, word.size(), word) != 0) return false;
  const std::string hash = seal.substr(textAt + word.size(), 64);
  if (!IsHex64(hash) || SealMember(hash, sealed) != seal) return false;

  unsigned char header[sizeof kGzipHeader];
  if (!file.seek(0) || !file.readExact(header, sizeof header) ||
      !std::equal(header, header + sizeof header, kGzipHeader) || !file.seek(0))
    return false;
  z_stream z{};
  if (inflateInit2(&z, 15 + 16) != Z_OK) return false;
  frame::Sha256 digest;
  std::vector<unsigned char> in(kChunk), out(kChunk);
  std::uint64_t left = sealed;
  bool ended = false, bad = false;
  while (left > 0 && !bad) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, kChunk));
    if (!file.readExact(in.data(), want)) {
      bad = true;
      break;
    }
    left -= want;
    digest.add(std::span<const std::uint8_t>(in.data(), want));
    z.next_in = in.data();
    z.avail_in = static_cast<uInt>(want);
    while (z.avail_in > 0 && !ended && !bad) {
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      const int status = inflate(&z, Z_NO_FLUSH);
      if (status == Z_STREAM_END)
        ended = true;
      else if (status != Z_OK)
        bad = true;
    }
    // The member ends exactly where the seal begins.
    if (ended && (z.avail_in > 0 || left > 0)) bad = true;
  }
  inflateEnd(&z);
  return !bad && ended && frame::HexDigest(digest.finish()) == hash;
}

// Reads the whole archive, hashing every data file and handing its bytes to
// `unpacker` (when given); checks everything against the manifest.
bool ReadArchive(platform::FileSystem& fs, const std::string& archivePath, Unpacker* unpacker,
                 CheckOutcome& outcome, const ReadProgress& progress = {}) {
  ReadSource* reading = nullptr;
  auto fail = [&outcome, &reading](const std::string& why) {
    outcome.problem = reading && reading->stopped ? "Das Lesen der Datensicherung wurde abgebrochen."
                                                  : why;
    outcome.stopped = reading && reading->stopped;
    return false;
  };
  platform::OpenFailure why = platform::OpenFailure::None;
  platform::File file = fs.open(archivePath, platform::Access::Read, platform::Share::DenyNone,
                                platform::Disposition::OpenExisting, &why);
  if (!file) return fail(store::OpenFailureText(archivePath, why));
  ArchiveReader reader;
  archive_read_support_filter_gzip(reader.a);
  archive_read_support_format_tar(reader.a);
  ReadSource source{&file, &progress};
  reading = &source;
  if (archive_read_open(reader.a, &source, nullptr, ReadFromFile, nullptr) != ARCHIVE_OK)
    return fail("Die Datei " + archivePath + " ist keine Datensicherung von Belvon.");
  const std::string damaged = "Die Datensicherung " + archivePath + " ist beschädigt: ";
  std::map<std::string, ManifestEntry> found;
  std::string manifestText;
  bool haveManifest = false;
  std::vector<std::uint8_t> buffer(kChunk);
  for (;;) {
    archive_entry* entry = nullptr;
    const int status = archive_read_next_header(reader.a, &entry);
    if (status == ARCHIVE_EOF) break;
    if (status != ARCHIVE_OK)
      return fail(damaged + "das Archiv kann nicht gelesen werden (" +
                  (archive_error_string(reader.a) ? archive_error_string(reader.a) : "?") + ").");
    const char* rawName = archive_entry_pathname(entry);
    const std::string name = rawName ? rawName : "";
    if (archive_entry_filetype(entry) != AE_IFREG || archive_entry_hardlink(entry) ||
        archive_entry_symlink(entry))
      return fail(damaged + "der Eintrag \"" + name + "\" ist keine gewöhnliche Datei.");
    const bool isManifest = name == kManifestName;
    const std::string prefix = kDataFolder;
    const std::string relative = isManifest ? std::string() : name.substr(std::min(name.size(), prefix.size()));
    if (!isManifest && (name.compare(0, prefix.size(), prefix) != 0 || !SafeRelativePath(relative)))
      return fail(damaged + "der Eintrag \"" + name + "\" liegt nicht im Datenverzeichnis.");
    if (isManifest ? haveManifest : found.count(relative) > 0)
      return fail(damaged + "der Eintrag \"" + name + "\" steht zweimal darin.");
    if (!isManifest && unpacker && !unpacker->begin(relative))
      return fail("Die Datei " + relative + " kann nicht geschrieben werden.");
    frame::Sha256 hash;
    std::uint64_t size = 0;
    for (;;) {
      const la_ssize_t n = archive_read_data(reader.a, buffer.data(), buffer.size());
      if (n < 0)
        return fail(damaged + "\"" + name + "\" kann nicht gelesen werden (" +
                    (archive_error_string(reader.a) ? archive_error_string(reader.a) : "?") + ").");
      if (n == 0) break;
      size += static_cast<std::uint64_t>(n);
      if (isManifest) {
        if (manifestText.size() + static_cast<std::size_t>(n) > kManifestLimit)
          return fail(damaged + "das Verzeichnis der Dateien ist zu groß.");
        manifestText.append(reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(n));
        continue;
      }
      hash.add(std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(n)));
      if (unpacker && !unpacker->write(buffer.data(), static_cast<std::size_t>(n)))
        return fail("Die Datei " + relative + " kann nicht geschrieben werden.");
    }
    if (archive_entry_size_is_set(entry) &&
        static_cast<std::uint64_t>(archive_entry_size(entry)) != size)
      return fail(damaged + "\"" + name + "\" ist abgeschnitten.");
    if (isManifest) {
      haveManifest = true;
      continue;
    }
    if (unpacker && !unpacker->end())
      return fail("Die Datei " + relative + " kann nicht geschrieben werden.");
    found[relative] = {relative, size, frame::HexDigest(hash.finish())};
  }
  if (!haveManifest) return fail(damaged + "das Verzeichnis der Dateien (MANIFEST.TXT) fehlt.");
  std::vector<ManifestEntry> listed;
  std::string problem;
  if (!ParseManifest(manifestText, listed, &problem)) return fail(damaged + problem);
  for (const ManifestEntry& want : listed) {
    auto it = found.find(want.path);
    if (it == found.end()) return fail(damaged + "die Datei " + want.path + " fehlt.");
    if (it->second.size != want.size)
      return fail(damaged + "die Datei " + want.path + " hat nicht die verzeichnete Größe.");
    if (it->second.sha256 != want.sha256)
      return fail(damaged + "die Prüfsumme der Datei " + want.path + " stimmt nicht.");
    found.erase(it);
  }
  if (!found.empty())
    return fail(damaged + "die Datei " + found.begin()->first + " steht in keinem Verzeichnis.");
  if (!CheckSealed(fs, archivePath))
    return fail(damaged + "die Prüfsumme des Archivs stimmt nicht.");
  outcome.files = std::move(listed);
  outcome.intact = true;
  return true;
}

// Unpacks into a folder, remembering every file and folder it made, so that
// a failure takes them all away again.
class FolderUnpacker : public Unpacker {
 public:
  // `durable`: each file is flushed to the disk (a restore; not the
  // temporary folder of a check).
  FolderUnpacker(platform::FileSystem& fs, std::string folder, bool durable)
      : fs_(fs), folder_(std::move(folder)), durable_(durable) {
    if (folder_.back() != '/') folder_ += '/';
  }
  bool begin(const std::string& relative) override {
    const fsys::path path = fsys::path(folder_ + relative);
    // Folders are made one by one so that each new one is known.
    fsys::path parent = path.parent_path();
    std::vector<fsys::path> missing;
    for (fsys::path p = parent; p.string().size() >= folder_.size() && !fsys::exists(p);
         p = p.parent_path())
      missing.push_back(p);
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
      std::error_code error;
      if (!fsys::create_directory(*it, error)) return false;
      folders_.push_back(it->string());
    }
    if (!fsys::is_directory(parent) || fsys::is_symlink(parent)) return false;
    file_ = fs_.open(path.string(), platform::Access::Write, platform::Share::Exclusive,
                     platform::Disposition::CreateNew);
    if (!file_) return false;
    files_.push_back(path.string());
    return true;
  }
  bool write(const std::uint8_t* data, std::size_t size) override {
    return file_.write(data, size);
  }
  bool end() override {
    const bool ok = (!durable_ || file_.sync()) && file_.close();
    file_ = platform::File();
    return ok;
  }
  // Removes everything made.
  void undo() {
    file_ = platform::File();
    for (const std::string& file : files_) fs_.remove(file);
    std::error_code ignored;
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) fsys::remove(*it, ignored);
    files_.clear();
    folders_.clear();
  }

 private:
  platform::FileSystem& fs_;
  std::string folder_;
  bool durable_;
  platform::File file_;
  std::vector<std::string> files_;
  std::vector<std::string> folders_;
};

std::string TwoDigits(int n) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", n);
  return text;
}

}  // namespace

std::string ManifestText(const std::vector<ManifestEntry>& entries) {
  std::string text = std::string(kManifestTitle) + "\n";
  for (const ManifestEntry& e : entries)
    text += e.sha256 + " " + std::to_string(e.size) + " " + e.path + "\n";
  return text;
}

bool ParseManifest(const std::string& text, std::vector<ManifestEntry>& entries,
                   std::string* problem) {
  auto fail = [problem](const std::string& why) {
    if (problem) *problem = why;
    return false;
  };
  entries.clear();
  std::set<std::string> seen;
  std::size_t at = 0;
  bool first = true;
  while (at < text.size()) {
    const std::size_t newline = text.find('\n', at);
    if (newline == std::string::npos) return fail("das Verzeichnis der Dateien ist abgeschnitten.");
    const std::string line = text.substr(at, newline - at);
    at = newline + 1;
    if (first) {
      if (line != kManifestTitle) return fail("das Verzeichnis der Dateien ist unbekannt.");
      first = false;
      continue;
    }
    const std::size_t space1 = line.find(' ');
    const std::size_t space2 = space1 == std::string::npos ? space1 : line.find(' ', space1 + 1);
    if (space2 == std::string::npos) return fail("eine Zeile des Verzeichnisses ist fehlerhaft.");
    ManifestEntry entry;
    entry.sha256 = line.substr(0, space1);
    const std::string size = line.substr(space1 + 1, space2 - space1 - 1);
    entry.path = line.substr(space2 + 1);
    if (!IsHex64(entry.sha256) || size.empty() || size.size() > 19 ||
        size.find_first_not_of("0123456789") != std::string::npos)
      return fail("eine Zeile des Verzeichnisses ist fehlerhaft.");
    entry.size = std::stoull(size);
    if (!SafeRelativePath(entry.path))
      return fail("der Pfad \"" + entry.path + "\" liegt nicht im Datenverzeichnis.");
    if (!seen.insert(entry.path).second)
      return fail("die Datei " + entry.path + " steht zweimal im Verzeichnis.");
    entries.push_back(std::move(entry));
  }
  if (first) return fail("das Verzeichnis der Dateien ist leer.");
  return true;
}

bool SafeRelativePath(const std::string& path) {
  if (path.empty() || path.size() > 4000 || path.front() == '/') return false;
  for (unsigned char c : path)
    if (c < 0x20 || c == 0x7f || c == '\\') return false;
  std::size_t at = 0;
  for (;;) {
    const std::size_t slash = path.find('/', at);
    const std::string part = path.substr(at, slash == std::string::npos ? slash : slash - at);
    if (part.empty() || part == "." || part == "..") return false;
    if (slash == std::string::npos) return true;
    at = slash + 1;
  }
}

bool BelongsToBackup(const std::string& relativePath) {
  const std::string upper = Upper(relativePath);
  // Output files and data files in the making: "<name>.neu", "*.NEU".
  if (upper.size() >= 4 && upper.compare(upper.size() - 4, 4, ".NEU") == 0) return false;
  static const std::set<std::string> kScratch = {
      "A.DAT", "A.IDX", "K.DAT", "K.IDX", "R.DAT", "R.IDX",  // reorganisation
      "SPERRE.TST",                                        // the lock probe
      "EINGANG/EINGANG.LCK",  // held while the inbox of received invoices changes
  };
  return !kScratch.count(upper);
}

std::string DefaultBackupPath(const frame::AppState& app) {
  std::string folder = store::DataFolder(app);
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  const fsys::path parent = fsys::absolute(fsys::path(folder)).lexically_normal().parent_path();
  const platform::LocalTime now = app.clock->now();
  const std::string name = "belvon-sicherung-" + std::to_string(now.year) + TwoDigits(now.month) +
                           TwoDigits(now.day) + "-" + TwoDigits(now.hour) +
                           TwoDigits(now.minute) + TwoDigits(now.second) + ".tar.gz";
  return (parent / name).string();
}

BackupOutcome CreateBackup(frame::AppState& app, const std::string& archivePath) {
  BackupOutcome outcome;
  platform::FileSystem& fs = *app.fileSystem;
  const std::string folder = store::DataFolder(app);
  if (fs.exists(app.path(store::kReplacementJournalName))) {
    outcome.problem =
        "Im Datenverzeichnis werden gerade Dateien ausgetauscht (TAUSCH.JNL); die Sicherung "
        "wird nicht geschrieben. Bitte das Programm neu starten und dann sichern.";
    return outcome;
  }
  std::vector<std::string> files;
  if (!ListFiles(fs, folder, files, outcome.skipped)) {
    outcome.problem = "Das Datenverzeichnis " + folder +
                      " kann nicht ganz gelesen werden; die Sicherung wird nicht geschrieben.";
    return outcome;
  }
  // The archive itself, when it is written into the data directory.
  std::error_code error;
  const fsys::path target = fsys::weakly_canonical(archivePath, error);
  auto isTheArchive = [&](const std::string& relative) {
    std::error_code e;
    const fsys::path path = fsys::weakly_canonical(fsys::path(folder) / relative, e);
    return path == target || path.string() == target.string() + ".neu";
  };
  std::erase_if(files, isTheArchive);
  if (files.empty()) {
    outcome.problem = "Im Datenverzeichnis " + folder + " liegen keine Dateien zum Sichern.";
    return outcome;
  }

  platform::OutputFile out(fs, archivePath);
  if (!out.isOpen()) {
    outcome.problem = platform::OutputFailureText(archivePath);
    return outcome;
  }
  ArchiveWriter writer;
  archive_write_add_filter_gzip(writer.a);
  // No time in the gzip header: every byte of it is then known (CheckSealed).
  archive_write_set_filter_option(writer.a, "gzip", "timestamp", nullptr);
  archive_write_set_format_pax_restricted(writer.a);
  // Names are stored as the bytes they are, whatever the locale.
  archive_write_set_options(writer.a, "hdrcharset=BINARY");
  archive_write_set_bytes_in_last_block(writer.a, 1);
  Sink sink{&out};
  if (archive_write_open(writer.a, &sink, nullptr, WriteToOutput, nullptr) != ARCHIVE_OK) {
    outcome.problem = platform::OutputFailureText(archivePath);
    return outcome;
  }
  const int total = static_cast<int>(files.size());
  int done = 0;
  if (app.ui) app.ui->beginProgress();
  struct ProgressEnd {
    frame::UserInterface* ui;
    ~ProgressEnd() {
      if (ui) ui->endProgress();
    }
  } progressEnd{app.ui};
  for (const std::vector<std::string>& group : LockGroups(files)) {
    // Every file of the group is held (writing denied to others) until the
    // whole group is in the archive.
    std::vector<platform::File> held;
    std::vector<std::string> names;
    // False when the file is there but cannot be read; one gone meanwhile is
    // left out.
    auto hold = [&](const std::string& name) {
      platform::OpenFailure why = platform::OpenFailure::None;
      platform::File file = store::OpenData(app, name.c_str(), platform::Access::Read,
                                            platform::Share::DenyWrite,
                                            platform::Disposition::OpenExisting, &why);
      if (!file && why == platform::OpenFailure::Missing) return true;
      if (!file) {
        outcome.problem = "Die Datei " + app.path(name.c_str()) +
                          " kann nicht gelesen werden; die Sicherung wird nicht geschrieben.";
        return false;
      }
      held.push_back(std::move(file));
      names.push_back(name);
      return true;
    };
    for (const std::string& name : group)
      if (!hold(name)) return outcome;
    // The documents of the archive as they are while no issue can run: an
    // issue writes them, its record and its mark while it holds the order
    // files.
    if (group.front() == store::kOrderIndexName) {
      std::vector<std::string> documents, unseen;
      const std::string archiveFolder = (fsys::path(folder) / kArchiveFolder).string();
      std::error_code missing;
      if (fsys::is_directory(archiveFolder, missing) &&
          !ListFiles(fs, archiveFolder, documents, unseen)) {
        outcome.problem = "Der Ordner " + archiveFolder +
                          " kann nicht ganz gelesen werden; die Sicherung wird nicht geschrieben.";
        return outcome;
      }
      for (const std::string& document : documents) {
        const std::string name = kArchiveFolder + document;
        if (!isTheArchive(name) && !hold(name)) return outcome;
      }
    }
    for (std::size_t i = 0; i < held.size(); ++i) {
      ManifestEntry entry;
      if (!CopyIntoArchive(writer.a, held[i], names[i], entry)) {
        outcome.problem = "Die Datei " + app.path(names[i].c_str()) +
                          " kann nicht gesichert werden; die Sicherung wird nicht geschrieben.";
        return outcome;
      }
      outcome.files.push_back(std::move(entry));
    }
    done += static_cast<int>(held.size());
    if (app.ui && app.ui->progress(done * 100 / total)) {
      outcome.problem = "Die Sicherung wurde abgebrochen; es wurde nichts geschrieben.";
      outcome.files.clear();
      return outcome;
    }
  }
  std::sort(outcome.files.begin(), outcome.files.end(),
            [](const ManifestEntry& a, const ManifestEntry& b) { return a.path < b.path; });
  const std::string manifest = ManifestText(outcome.files);
  if (!WriteEntryHeader(writer.a, kManifestName, manifest.size(), platform::NowNanoseconds()) ||
      !WriteEntryData(writer.a, manifest.data(), manifest.size()) ||
      archive_write_close(writer.a) != ARCHIVE_OK ||
      !out.write(SealMember(frame::HexDigest(sink.hash.finish()), sink.size)) || !out.commit()) {
    outcome.problem = platform::OutputFailureText(archivePath);
    outcome.files.clear();
    return outcome;
  }
  outcome.written = true;
  if (!NoteBackup(app, archivePath))
    outcome.note = "Die Sicherung ist nicht in " + app.path(kReminderFileName) +
                   " vermerkt; die Erinnerung an die nächste rechnet mit der vorigen.";
  return outcome;
}

CheckOutcome VerifyBackup(platform::FileSystem& fs, const std::string& archivePath) {
  CheckOutcome outcome;
  std::string pattern = (fsys::temp_directory_path() / "belvon-pruefung-XXXXXX").string();
  if (!mkdtemp(pattern.data())) {
    outcome.problem = "Es kann kein Ordner zum Prüfen angelegt werden.";
    return outcome;
  }
  struct Remove {
    std::string folder;
    ~Remove() {
      std::error_code ignored;
      fsys::remove_all(folder, ignored);
    }
  } remove{pattern};
  FolderUnpacker unpacker(fs, pattern, false);
  if (!ReadArchive(fs, archivePath, &unpacker, outcome)) return outcome;
  RunStructureTest(pattern, outcome);
  return outcome;
}

CheckOutcome RestoreBackup(platform::FileSystem& fs, const std::string& archivePath,
                           const std::string& targetDirectory, frame::UserInterface* ui) {
  CheckOutcome outcome;
  // The archive is read twice, to check it and to unpack it: each reading
  // is half of the bar.
  std::uint64_t archiveSize = 0;
  {
    platform::File file =
        fs.open(archivePath, platform::Access::Read, platform::Share::DenyNone);
    if (file && file.size() > 0) archiveSize = static_cast<std::uint64_t>(file.size());
  }
  auto half = [ui, archiveSize](int first) -> ReadProgress {
    if (!ui) return {};
    return [ui, archiveSize, first](std::uint64_t read) {
      const int percent =
          archiveSize == 0 ? first : first + static_cast<int>(std::min<std::uint64_t>(read, archiveSize) *
                                                              50 / archiveSize);
      return ui->progress(percent);
    };
  };
  if (ui) ui->beginProgress();
  struct ProgressEnd {
    frame::UserInterface* ui;
    ~ProgressEnd() {
      if (ui) ui->endProgress();
    }
  } progressEnd{ui};
  const fsys::path target(targetDirectory);
  std::error_code error;
  bool created = false;
  if (fsys::is_symlink(target, error) ||
      (fsys::exists(target, error) && !fsys::is_directory(target, error))) {
    outcome.problem = targetDirectory + " ist kein Verzeichnis; es wird nichts zurückgespielt.";
    return outcome;
  }
  if (fsys::exists(target, error)) {
    if (!fsys::is_empty(target, error) || error) {
      outcome.problem = "Das Verzeichnis " + targetDirectory +
                        " ist nicht leer. Eine Datensicherung wird nur in ein leeres "
                        "Verzeichnis zurückgespielt.";
      return outcome;
    }
  }
  // The whole archive is checked before the first file is written.
  if (!ReadArchive(fs, archivePath, nullptr, outcome, half(0))) {
    if (outcome.stopped) outcome.problem += " Es wurde nichts zurückgespielt.";
    return outcome;
  }
  outcome.intact = false;
  if (!fsys::exists(target, error)) {
    if (!fsys::create_directories(target, error)) {
      outcome.problem = "Das Verzeichnis " + targetDirectory + " kann nicht angelegt werden.";
      return outcome;
    }
    created = true;
  }
  FolderUnpacker unpacker(fs, targetDirectory, true);
  if (!ReadArchive(fs, archivePath, &unpacker, outcome, half(50))) {
    unpacker.undo();
    if (created) fsys::remove(target, error);
    outcome.problem += " Es wurde nichts zurückgespielt.";
    return outcome;
  }
  fs.syncDirectory(targetDirectory);
  RunStructureTest(targetDirectory, outcome);
  return outcome;
}

}  // namespace backup
