#include "receive/official_rules.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

extern char** environ;

namespace receive {

namespace {

Finding Notice(const std::string& text) { return {"Prüfregeln", text}; }

// A temporary copy of the XML for the kit to read; removed when done.
class TemporaryXml {
 public:
  explicit TemporaryXml(std::string_view xml) {
    std::error_code error;
    std::string pattern =
        (std::filesystem::temp_directory_path(error) / "belvon-eingang-XXXXXX.xml").string();
    const int fd = mkstemps(pattern.data(), 4);
    if (fd < 0) return;
    std::size_t written = 0;
    while (written < xml.size()) {
      const ssize_t n = ::write(fd, xml.data() + written, xml.size() - written);
      if (n <= 0) break;
      written += static_cast<std::size_t>(n);
    }
    ::close(fd);
    path_ = pattern;
    if (written != xml.size()) {
      ::unlink(path_.c_str());
      path_.clear();
    }
  }
  ~TemporaryXml() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

std::vector<Finding> ParseKitOutput(std::string_view output, const std::string& path) {
  std::vector<Finding> findings;
  const std::string prefix = path + ": ";
  while (!output.empty()) {
    const std::size_t end = output.find('\n');
    std::string_view line = output.substr(0, end);
    output = end == std::string_view::npos ? std::string_view() : output.substr(end + 1);
    if (line.substr(0, prefix.size()) != prefix) continue;
    line.remove_prefix(prefix.size());
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos) continue;
    const std::string rule(line.substr(0, space));
    std::string_view rest = line.substr(space + 1);
    if (rest.substr(0, 8) != "[fatal] " && rest.substr(0, 8) != "[error] ") continue;
    rest.remove_prefix(8);
    const std::size_t at = rest.rfind(" (at ");
    if (at != std::string_view::npos) rest = rest.substr(0, at);
    findings.push_back({rule, "Amtliche Prüfregel " + rule + " verletzt: " + std::string(rest)});
  }
  return findings;
}

bool ClaimsXRechnung(std::string_view specification) {
  std::string lower(specification);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower.find("xrechnung") != std::string::npos;
}

std::vector<Finding> RunOfficialRules(const std::string& script, std::string_view xml,
                                      bool xrechnung) {
  if (script.empty())
    return {Notice(
        "Die amtlichen Prüfregeln (validate-cii) sind nicht installiert; nachgerechnet wurden "
        "nur die Beträge.")};
  TemporaryXml file(xml);
  if (file.path().empty())
    return {Notice(
        "Die amtlichen Prüfregeln konnten nicht laufen (keine temporäre Datei); nachgerechnet "
        "wurden nur die Beträge.")};
  int channel[2];
  if (pipe(channel) != 0)
    return {Notice(
        "Die amtlichen Prüfregeln konnten nicht gestartet werden; nachgerechnet wurden nur die "
        "Beträge.")};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, channel[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclose(&actions, channel[0]);
  posix_spawn_file_actions_addclose(&actions, channel[1]);
  std::vector<const char*> argv = {script.c_str(), "-q"};
  if (!xrechnung) argv.push_back("--no-xrechnung");
  argv.push_back(file.path().c_str());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, script.c_str(), &actions, nullptr,
                                  const_cast<char* const*>(argv.data()), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(channel[1]);
  std::string output;
  if (spawned == 0) {
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(channel[0], buffer, sizeof buffer)) > 0)
      output.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(channel[0]);
  if (spawned != 0)
    return {Notice("Die amtlichen Prüfregeln (" + script +
                   ") konnten nicht gestartet werden; nachgerechnet wurden nur die Beträge.")};
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (code == 4)
    return {Notice(
        "Die amtlichen Prüfregeln brauchen Java, Saxon-HE und xmllint, die nicht installiert "
        "sind; nachgerechnet wurden nur die Beträge.")};
  if (code != 0 && code != 1)
    return {Notice(
        "Die amtlichen Prüfregeln sind mit einem Fehler abgebrochen; nachgerechnet wurden nur "
        "die Beträge.")};
  std::vector<Finding> findings = ParseKitOutput(output, file.path());
  if (code == 1 && findings.empty())
    findings.push_back(Notice("Die amtlichen Prüfregeln weisen die Datei zurück."));
  return findings;
}

}  // namespace receive
