// Where the desktop keeps the SMTP password: the desktop's secret store
// (libsecret) when one answers, else the memory of this session, so that it
// is asked once per session. It is never written to a file of the program.
#ifndef BELVON_MAIL_UI_PASSWORD_STORE_H
#define BELVON_MAIL_UI_PASSWORD_STORE_H

#include <map>
#include <optional>
#include <string>

namespace mail {

class PasswordStore {
 public:
  // `secretService`: whether to ask the desktop's secret store at all.
  explicit PasswordStore(bool secretService = true) : secretService_(secretService) {}

  // The password of `user` at `server`: from the session's memory, else
  // from the secret store; none when neither holds one.
  std::optional<std::string> find(const std::string& server, const std::string& user);
  // Keeps it for the session and, when there is one, in the secret store;
  // true when the secret store took it.
  bool keep(const std::string& server, const std::string& user, const std::string& password);
  // Forgets it (a password the server refused), in both places.
  void forget(const std::string& server, const std::string& user);

  // The program's store.
  static PasswordStore& Program();

 private:
  bool secretService_;
  std::map<std::string, std::string> session_;
};

}  // namespace mail

#endif  // BELVON_MAIL_UI_PASSWORD_STORE_H
