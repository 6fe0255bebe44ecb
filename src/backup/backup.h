// Backups of the data directory: one gzip-compressed tar archive (pax) that
// holds every file of the data directory that belongs to the business under
// "daten/<path>", and as its last entry the manifest "MANIFEST.TXT" naming
// each file with its size and SHA-256 (doc/formats/backup.md).
//
// Taking a backup reads each file under the program's own share lock
// (Share::DenyWrite through store::OpenData, with its retry rules), an index
// together with its record file, so that a change another copy makes is in
// the backup whole or not at all. The archive is an output file: there whole
// or not at all.
//
// Checking and restoring never touch the data directory. A restore goes only
// into an empty (or new) directory; the whole archive is checked against its
// manifest before the first file is written, and anything that fails on the
// way removes what was written.
#ifndef BELVON_BACKUP_BACKUP_H
#define BELVON_BACKUP_BACKUP_H

#include <cstdint>
#include <string>
#include <vector>

#include "core/user_interface.h"
#include "platform/file.h"
#include "store/app_state.h"

namespace backup {

inline constexpr const char* kManifestName = "MANIFEST.TXT";
inline constexpr const char* kDataFolder = "daten/";
inline constexpr const char* kManifestTitle = "Belvon-Datensicherung 1";

struct ManifestEntry {
  std::string path;  // relative to the data directory, "/" between folders
  std::uint64_t size = 0;
  std::string sha256;  // 64 lower-case hex digits
  bool operator==(const ManifestEntry&) const = default;
};

// The manifest as text, and back; false (with the reason) when the text is
// no manifest: a wrong title, a malformed line, a path given twice or one
// that could leave the directory.
std::string ManifestText(const std::vector<ManifestEntry>& entries);
bool ParseManifest(const std::string& text, std::vector<ManifestEntry>& entries,
                   std::string* problem);

// The seal behind the compressed tar stream: a gzip member of its own whose
// text names the SHA-256 and the length of every byte before it, so that no
// byte of an archive can change unnoticed (doc/formats/backup.md).
std::string SealMember(const std::string& sha256, std::uint64_t size);

// A path of the archive that may be unpacked: relative, no empty, "." or
// ".." part, no control characters.
bool SafeRelativePath(const std::string& path);

// Whether a file of the data directory (path relative to it) goes into a
// backup: the temporary files the program makes and removes again do not.
bool BelongsToBackup(const std::string& relativePath);

struct BackupOutcome {
  bool written = false;
  std::vector<ManifestEntry> files;
  // Files that were not taken, each with the reason (a link leading out of
  // the directory, a name that cannot be stored).
  std::vector<std::string> skipped;
  std::string problem;  // why nothing was written
  std::string note;     // written, but something after it went wrong
};

// Backs up the data directory of `app` into `archivePath`.
BackupOutcome CreateBackup(frame::AppState& app, const std::string& archivePath);

// "belvon-sicherung-JJJJMMTT-HHMMSS.tar.gz" beside the data directory.
std::string DefaultBackupPath(const frame::AppState& app);

struct CheckOutcome {
  bool intact = false;  // every file as its manifest says, nothing else in it
  std::vector<ManifestEntry> files;
  std::string problem;  // why it is not intact
  // What the structure test found in the unpacked files.
  std::vector<std::string> structureProblems;
  bool structureDamaged = false;  // a damaged index or an unindexed record
  bool stopped = false;  // the user stopped it (Esc in the progress box)
  bool ok() const { return intact && !structureDamaged; }
};

// Reads the archive, checks every file against the manifest, unpacks it into
// a temporary folder and runs the structure test there.
CheckOutcome VerifyBackup(platform::FileSystem& fs, const std::string& archivePath);

// Restores into `targetDirectory` (created when missing; refused when it is
// not empty). `intact` false: nothing was written (the problem says why).
// With `ui` the progress box shows how far it is, and Esc stops it.
CheckOutcome RestoreBackup(platform::FileSystem& fs, const std::string& archivePath,
                           const std::string& targetDirectory, frame::UserInterface* ui = nullptr);

}  // namespace backup

#endif  // BELVON_BACKUP_BACKUP_H
