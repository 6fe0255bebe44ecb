// libsecret brings glib, whose headers name members "signals": no Qt here.
#include "mail/ui/password_store.h"

#include <libsecret/secret.h>

#include <cstdlib>

namespace mail {

namespace {

const SecretSchema* Schema() {
  static const SecretSchema schema = {
      "de.belvon.Smtp",
      SECRET_SCHEMA_NONE,
      {{"server", SECRET_SCHEMA_ATTRIBUTE_STRING},
       {"user", SECRET_SCHEMA_ATTRIBUTE_STRING},
       {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
      0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
  return &schema;
}

std::string Key(const std::string& server, const std::string& user) { return user + "@" + server; }

// Without a session bus no secret service can answer; libsecret would try
// to start one.
bool BusThere() { return std::getenv("DBUS_SESSION_BUS_ADDRESS") != nullptr; }

}  // namespace

std::optional<std::string> PasswordStore::find(const std::string& server, const std::string& user) {
  const auto known = session_.find(Key(server, user));
  if (known != session_.end()) return known->second;
  if (!secretService_ || !BusThere()) return std::nullopt;
  GError* error = nullptr;
  gchar* password = secret_password_lookup_sync(Schema(), nullptr, &error, "server", server.c_str(),
                                                "user", user.c_str(), nullptr);
  if (error) g_error_free(error);
  if (!password) return std::nullopt;
  std::string found(password);
  secret_password_free(password);
  session_[Key(server, user)] = found;
  return found;
}

bool PasswordStore::keep(const std::string& server, const std::string& user,
                         const std::string& password) {
  session_[Key(server, user)] = password;
  if (!secretService_ || !BusThere()) return false;
  GError* error = nullptr;
  const std::string label = "Belvon: SMTP " + Key(server, user);
  const gboolean stored =
      secret_password_store_sync(Schema(), SECRET_COLLECTION_DEFAULT, label.c_str(),
                                 password.c_str(), nullptr, &error, "server", server.c_str(), "user",
                                 user.c_str(), nullptr);
  if (error) g_error_free(error);
  return stored;
}

void PasswordStore::forget(const std::string& server, const std::string& user) {
  session_.erase(Key(server, user));
  if (!secretService_ || !BusThere()) return;
  GError* error = nullptr;
  secret_password_clear_sync(Schema(), nullptr, &error, "server", server.c_str(), "user",
                             user.c_str(), nullptr);
  if (error) g_error_free(error);
}

PasswordStore& PasswordStore::Program() {
  static PasswordStore store;
  return store;
}

}  // namespace mail
