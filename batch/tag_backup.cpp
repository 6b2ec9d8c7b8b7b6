#include "batch/tag_backup.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#else
#include <unistd.h>
#endif

#include "batch/batch_files.h"
#include "batch/json_value.h"
#include "batch/t5577_image.h"

namespace rivelo {
namespace {

constexpr const char* FileKind = "rivelo tag backup";
constexpr std::size_t MaxBackupBytes = 1 << 20;

std::string Hex(std::uint32_t v) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", v);
  return text;
}

std::string Quoted(const std::string& s) {
  std::string out = "\"";
  for (const char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char esc[7];
      std::snprintf(esc, sizeof esc, "\\u%04X", c);
      out += esc;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

const char* ChipName(InspectChip chip) { return chip == InspectChip::T5577 ? "T5577" : "EM4305"; }

std::optional<std::uint32_t> HexWord(const std::string& text) {
  if (text.size() != 8) return std::nullopt;
  std::uint32_t v = 0;
  for (const char c : text) {
    const int d = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (d < 0) return std::nullopt;
    v = v << 4 | static_cast<std::uint32_t>(d);
  }
  return v;
}

std::optional<TagBackup> Refuse(std::string* why, const std::string& text) {
  if (why) *why = text;
  return std::nullopt;
}

#ifdef _WIN32
int MakeFolder(const std::string& path) { return _mkdir(path.c_str()); }
int CreateNew(const std::string& path) {
  return _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
}
bool WriteAll(int fd, const std::string& text) {
  return _write(fd, text.data(), static_cast<unsigned>(text.size())) == static_cast<int>(text.size()) && _commit(fd) == 0;
}
void CloseFile(int fd) { _close(fd); }
#else
int MakeFolder(const std::string& path) { return mkdir(path.c_str(), 0700); }
// O_EXCL refuses any name that is there, a link included, dangling or not.
int CreateNew(const std::string& path) { return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600); }
bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return fsync(fd) == 0;
}
void CloseFile(int fd) { close(fd); }
#endif

// Every folder of path, made where missing.
bool MakeFolders(const std::string& path, std::string* why) {
  for (std::size_t at = 1; at <= path.size(); ++at) {
    if (at < path.size() && path[at] != '/' && path[at] != '\\') continue;
    const std::string part = path.substr(0, at);
    if (part.empty() || part.back() == ':') continue;  // a drive letter
    if (MakeFolder(part) != 0 && errno != EEXIST) {
      if (why) *why = part + ": " + std::strerror(errno);
      return false;
    }
  }
  return true;
}

std::string UtcNow(const char* format) {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
#ifdef _WIN32
  gmtime_s(&tm, &now);
#else
  gmtime_r(&now, &tm);
#endif
  char text[32];
  std::strftime(text, sizeof text, format, &tm);
  return text;
}

}  // namespace

std::optional<TagBackup> BackupOf(const InspectReport& report) {
  if ((report.chip != InspectChip::T5577 && report.chip != InspectChip::Em4305) || !report.Config()) return std::nullopt;
  TagBackup b;
  b.chip = report.chip;
  b.memory = report.chip == InspectChip::T5577 ? report.blocks : report.words;
  b.locked = report.lockedWords;
  b.uid = report.uid;
  b.identities = report.identities;
  return b;
}

std::string BackupJson(const TagBackup& b, const std::string& time) {
  std::string memory;
  for (const auto& v : b.memory) memory += (memory.empty() ? "" : ", ") + (v ? Quoted(Hex(*v)) : "null");
  std::string locked = "null";
  if (b.locked) {
    locked.clear();
    for (const int w : *b.locked) locked += (locked.empty() ? "" : ", ") + std::to_string(w);
    locked = "[" + locked + "]";
  }
  std::string ids;
  for (const FoundIdentity& id : b.identities)
    ids += std::string(ids.empty() ? "" : ",") + "\n    {\"format\": " + Quoted(id.format) + ", \"title\": " +
           Quoted(id.title) + ", \"id\": " + Quoted(id.text) + "}";
  const bool t5577 = b.chip == InspectChip::T5577;
  return std::string("{\n") + "  \"kind\": " + Quoted(FileKind) + ",\n" +
         "  \"version\": " + std::to_string(TagBackupVersion) + ",\n" +
         "  \"chip\": " + Quoted(ChipName(b.chip)) + ",\n" + "  \"time\": " + Quoted(time) + ",\n" +
         "  \"uid\": " + (b.uid ? Quoted(Hex(*b.uid)) : "null") + ",\n" +
         "  \"" + (t5577 ? "blocks" : "words") + "\": [" + memory + "],\n" +
         "  \"locked\": " + locked + ",\n" +
         "  \"identities\": [" + ids + (ids.empty() ? "" : "\n  ") + "]\n}\n";
}

std::optional<TagBackup> ParseBackup(const std::string& text, std::string* why) {
  std::string error;
  const std::optional<JsonValue> root = ParseJson(text, &error);
  if (!root) return Refuse(why, "not a backup file: " + error);
  const JsonValue* kind = root->Member("kind");
  if (!kind || kind->text != FileKind) return Refuse(why, "not a backup file of this program");
  const JsonValue* version = root->Member("version");
  if (!version || version->type != JsonValue::Number || version->number != TagBackupVersion)
    return Refuse(why, "a backup of another version (this program reads version " + std::to_string(TagBackupVersion) + ")");
  TagBackup b;
  const JsonValue* chip = root->Member("chip");
  b.chip = !chip ? InspectChip::None : chip->text == "T5577" ? InspectChip::T5577 : chip->text == "EM4305" ? InspectChip::Em4305 : InspectChip::None;
  if (b.chip == InspectChip::None) return Refuse(why, "the backup names no chip this program knows");
  const bool t5577 = b.chip == InspectChip::T5577;
  const JsonValue* memory = root->Member(t5577 ? "blocks" : "words");
  const std::size_t count = t5577 ? 8 : 16;
  if (!memory || memory->type != JsonValue::Array || memory->items.size() != count)
    return Refuse(why, std::string("the backup does not hold ") + (t5577 ? "8 blocks" : "16 words"));
  for (const JsonValue& item : memory->items) {
    if (item.type == JsonValue::Null) {
      b.memory.emplace_back();
      continue;
    }
    const auto v = item.type == JsonValue::String ? HexWord(item.text) : std::nullopt;
    if (!v) return Refuse(why, "a block or word of the backup is not 8 hex digits");
    b.memory.emplace_back(v);
  }
  if (!b.memory[t5577 ? 0 : 4]) return Refuse(why, "the backup holds no configuration");
  if (const JsonValue* uid = root->Member("uid"); uid && uid->type == JsonValue::String) b.uid = HexWord(uid->text);
  if (const JsonValue* locked = root->Member("locked"); locked && locked->type == JsonValue::Array) {
    b.locked.emplace();
    for (const JsonValue& w : locked->items) b.locked->push_back(static_cast<int>(w.number));
  }
  if (const JsonValue* ids = root->Member("identities"); ids && ids->type == JsonValue::Array) {
    for (const JsonValue& id : ids->items) {
      const JsonValue* f = id.Member("format");
      const JsonValue* t = id.Member("title");
      const JsonValue* v = id.Member("id");
      if (f && t && v) b.identities.push_back({f->text, t->text, v->text, IdentitySource::Blocks});
    }
  }
  return b;
}

bool WriteNewFile(const std::string& path, const std::string& text, bool numbered, std::string* written,
                  std::string* why) {
  constexpr int MaxNumber = 999;
  for (int n = 0; n <= (numbered ? MaxNumber : 0); ++n) {
    const std::string candidate = n == 0 ? path : NumberedPath(path, n);
    const int fd = CreateNew(candidate);
    if (fd < 0 && errno == EEXIST && numbered) continue;
    if (fd < 0) break;
    const bool ok = WriteAll(fd, text);
    const int saved = errno;
    CloseFile(fd);
    if (!ok) {
      std::remove(candidate.c_str());
      errno = saved;
      break;
    }
    if (written) *written = candidate;
    return true;
  }
  if (why) *why = std::strerror(errno);
  return false;
}

std::optional<std::string> ReadBackupFile(const std::string& path, std::string* why) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (why) *why = std::strerror(errno);
    return std::nullopt;
  }
  std::string text(MaxBackupBytes + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  if (text.size() > MaxBackupBytes) {
    if (why) *why = "larger than any backup";
    return std::nullopt;
  }
  return text;
}

std::string BackupFolder() {
#ifdef _WIN32
  const char* base = std::getenv("LOCALAPPDATA");
  return std::string(base ? base : ".") + "\\rivelo\\backups";
#else
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') return std::string(xdg) + "/rivelo/backups";
  const char* home = std::getenv("HOME");
  return std::string(home ? home : ".") + "/.local/share/rivelo/backups";
#endif
}

std::optional<std::string> SaveAutomaticBackup(const std::optional<TagBytes4>& password, std::string* why) {
  const InspectReport report = InspectTag(password);
  const std::optional<TagBackup> backup = BackupOf(report);
  if (!backup) {
    if (why) *why = report.loginNeededToRead ? "the tag does not read without its password: give --password" : "no T5577 or EM4305 read";
    return std::nullopt;
  }
  const std::string folder = BackupFolder();
  if (!MakeFolders(folder, why)) return std::nullopt;
  const std::string name = std::string(backup->chip == InspectChip::T5577 ? "t5577" : "em4305") + "-" +
                           UtcNow("%Y%m%d-%H%M%S") + ".json";
  std::string path;
  std::string reason;
  if (!WriteNewFile(JoinExportPath(folder, name), BackupJson(*backup, UtcNow("%Y-%m-%dT%H:%M:%SZ")), true, &path,
                    &reason)) {
    if (why) *why = folder + ": " + reason;
    return std::nullopt;
  }
  return path;
}

std::vector<MemoryDifference> CompareBackup(const TagBackup& backup, const InspectReport& tag) {
  const auto& memory = tag.chip == InspectChip::T5577 ? tag.blocks : tag.words;
  std::vector<MemoryDifference> differences;
  for (std::size_t i = 0; i < backup.memory.size(); ++i) {
    if (!backup.memory[i]) continue;
    const std::optional<std::uint32_t> held = i < memory.size() ? memory[i] : std::nullopt;
    if (held != backup.memory[i]) differences.push_back({static_cast<int>(i), *backup.memory[i], held});
  }
  return differences;
}

RestoreResult RestoreT5577(const std::vector<std::optional<std::uint32_t>>& blocks,
                           const std::optional<TagBytes4>& password) {
  // A block 0 in password mode needs block 7, the password, which a backup never holds: the
  // chip keeps the one given, written before block 0 turns password mode on.
  const bool toPasswordMode = blocks[0] && (*blocks[0] & 0x10) != 0;
  std::optional<std::uint32_t> block7 = blocks[T5577PasswordBlock];
  if (toPasswordMode && !block7) {
    if (!password) return {{TagOutcome::NotSent, TagHint::None}, T5577PasswordBlock, {}};
    block7 = BlockWord(*password);
  }
  // Out of password mode, block 7 goes after block 0: before it, block 7 is the password that
  // opens the chip.
  std::vector<int> order = {1, 2, 3, 4, 5, 6};
  if (password && !toPasswordMode) {
    order.insert(order.end(), {0, T5577PasswordBlock});
  } else {
    order.insert(order.end(), {T5577PasswordBlock, 0});
  }
  bool passwordMode = password.has_value();
  for (const int block : order) {
    const auto& value = block == T5577PasswordBlock ? block7 : blocks[static_cast<std::size_t>(block)];
    if (!value) continue;
    const TagData d = WriteT5577Block(0, block, false, BlockBytes(*value), passwordMode ? password : std::nullopt);
    if (!d.result.ok()) return {d.result, block, {}};
    // Once block 0 is written the chip follows it: no password commands to a chip out of
    // password mode.
    if (block == 0) passwordMode = password && (*value & 0x10) != 0;
  }
  return {};
}

RestoreResult RestoreEm4305(const TagBackup& backup, const InspectReport& tag, bool loggedIn) {
  RestoreResult r;
  for (const int word : {0, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 4}) {
    const auto& want = backup.memory[static_cast<std::size_t>(word)];
    if (!want || (static_cast<std::size_t>(word) < tag.words.size() && tag.words[static_cast<std::size_t>(word)] == want)) continue;
    const std::uint32_t v = *want;
    const TagBytes4 wire{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
                         static_cast<std::uint8_t>(v >> 24)};
    const TagData d = WriteEm4305Word(word, wire, loggedIn);
    if (!d.result.ok()) return {d.result, word, r.skipped};
  }
  return r;
}

std::vector<std::optional<std::uint32_t>> BlankT5577Blocks() {
  std::vector<std::optional<std::uint32_t>> blocks(8, 0u);
  blocks[0] = T5577FactoryConfig;
  return blocks;
}

RestoreResult WipeEm4305(const InspectReport& tag, bool loggedIn) {
  RestoreResult r;
  const std::vector<int> locked = tag.lockedWords.value_or(std::vector<int>{});
  for (const int word : {3, 5, 6, 7, 8, 9, 10, 11, 12, 13}) {
    if (std::find(locked.begin(), locked.end(), word) != locked.end()) {
      r.skipped.push_back(word);
      continue;
    }
    if (static_cast<std::size_t>(word) < tag.words.size() && tag.words[static_cast<std::size_t>(word)] == 0u) continue;
    const TagData d = WriteEm4305Word(word, TagBytes4{}, loggedIn);
    if (!d.result.ok()) return {d.result, word, r.skipped};
  }
  return r;
}

}  // namespace rivelo
