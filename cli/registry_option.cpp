#include "cli/registry_option.h"

#include <filesystem>

namespace rivelo::cli {
namespace {

bool IsPostgresUri(const std::string& where) {
  return where.rfind("postgresql://", 0) == 0 || where.rfind("postgres://", 0) == 0;
}

// user:password@ before the host, or a password=... parameter.
bool UriHoldsPassword(const std::string& uri) {
  const std::size_t start = uri.find("://") + 3;
  const std::size_t hostEnd = uri.find_first_of("/?", start);
  const std::string authority = uri.substr(start, hostEnd == std::string::npos ? std::string::npos : hostEnd - start);
  const std::size_t at = authority.rfind('@');
  if (at != std::string::npos && authority.substr(0, at).find(':') != std::string::npos) return true;
  const std::size_t query = uri.find('?', start);
  if (query == std::string::npos) return false;
  for (std::size_t key = query + 1; key < uri.size();) {
    const std::size_t end = uri.find('&', key);
    if (uri.compare(key, 9, "password=") == 0) return true;
    if (end == std::string::npos) break;
    key = end + 1;
  }
  return false;
}

}  // namespace

std::string RegistryWhereError(const std::string& where) {
  if (where.empty()) return "the value is empty";
  if (IsPostgresUri(where)) {
    if (UriHoldsPassword(where))
      return "the connection URI holds a password, which the process list and the shell's history show: "
             "give it in PGPASSWORD or ~/.pgpass instead";
    return {};
  }
  // Not repeated: another scheme's URI may hold a password too.
  if (where.find("://") != std::string::npos)
    return "a registry is a SQLite file (NAME.sqlite) or a PostgreSQL URI (postgresql://...)";
  return {};
}

CLI::Option* AddRegistryOption(CLI::App& app, std::string& where, bool required) {
  CLI::Option* option =
      app.add_option("--registry", where,
                     "the registry of issued identities: a SQLite file (FILE.sqlite) or a "
                     "PostgreSQL URI (postgresql://HOST/DB; the password from PGPASSWORD or ~/.pgpass)")
          ->type_name("WHERE")
          ->check(CLI::Validator([](std::string& value) { return RegistryWhereError(value); }, ""));
  if (required) option->required();
  return option;
}

std::unique_ptr<IdentityRegistry> OpenRegistryOption(const std::string& where, bool create, std::string* error) {
  std::error_code missing;
  if (!create && !IsPostgresUri(where) && !std::filesystem::exists(where, missing)) {
    *error = "there is no registry " + where + " (a new one is made by import or by a run)";
    return nullptr;
  }
  std::string why;
  auto registry = OpenRegistry(where, &why);
  if (!registry) *error = "cannot open the registry " + where + ": " + why;
  return registry;
}

}  // namespace rivelo::cli
