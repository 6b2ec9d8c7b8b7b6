// --registry WHERE: the registry of issued identities that a command works on, a SQLite file
// (one machine) or a PostgreSQL connection URI (several). The registry commands take it, and
// so can any command that takes identities from a registry, alike.
#pragma once

#include <CLI/CLI.hpp>

#include <memory>
#include <string>

#include "batch/registry.h"

namespace rivelo::cli {

// Why where is no registry the command line may name, or empty. A URI holding a password is
// refused without repeating it: the process list and the shell's history keep it already.
std::string RegistryWhereError(const std::string& where);

// Adds --registry to app; parsing fills *where, which must outlive the parse.
CLI::Option* AddRegistryOption(CLI::App& app, std::string& where, bool required);

// Opens the registry named by --registry; null with *error set ("cannot open the registry
// ...: why") when it cannot be opened. Without create, a SQLite file that does not exist is
// refused rather than made: a mistyped name would otherwise give an empty registry, in which
// every identity looks free.
std::unique_ptr<IdentityRegistry> OpenRegistryOption(const std::string& where, bool create, std::string* error);

}  // namespace rivelo::cli
