#include "sim/final_state.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "sim/access_decoders.h"
#include "sim/reader_state.h"

namespace rivelo::sim {
namespace {

std::string Hex8(std::uint32_t v) {
  char buf[12];
  std::snprintf(buf, sizeof buf, "%08X", v);
  return buf;
}

template <std::size_t N>
std::string HexBytes(const std::array<std::uint8_t, N>& bytes) {
  std::string s;
  char buf[3];
  for (const auto b : bytes) {
    std::snprintf(buf, sizeof buf, "%02X", b);
    s += buf;
  }
  return s;
}

void AppendReadings(const TagState& t, std::string& out) {
  char buf[160];
  if (t.silent) out += "  reads as: nothing (the tag is silent)\n";
  else if (t.identity.empty()) out += "  reads as: no identity\n";
  if (t.em4100) out += "  em4100 " + HexBytes(*t.em4100) + "\n";
  if (t.fdxb) {
    std::snprintf(buf, sizeof buf, "  fdxb country %u national %012llu trailer %u%s%s\n", unsigned{t.fdxb->country},
                  static_cast<unsigned long long>(t.fdxb->national), t.fdxb->trailer,
                  t.fdxb->dataBlock ? " data-block" : "", t.fdxb->animal ? " animal" : "");
    out += buf;
  }
  if (t.hid) {
    std::snprintf(buf, sizeof buf, "  hid facility %u card %u\n", unsigned{t.hid->facility}, unsigned{t.hid->card});
    out += buf;
  }
  if (t.fdxa) out += "  fdxa " + HexBytes(*t.fdxa) + "\n";
  if (!t.blockFormat.empty()) out += "  blocks hold " + t.blockFormat + "\n";
}

void AppendMemory(const TagState& t, std::string& out) {
  if (!t.memory) return;
  const TagMemory& m = *t.memory;
  const auto line = [&](const std::string& name, std::size_t at) {
    out += "  " + name + " " + Hex8(m.words[at]) + (m.locked[at] ? " locked\n" : "\n");
  };
  if (t.kind == "t5577") {
    // Slot 8 is unused: page 1's block 0 is page 0's.
    for (std::size_t b = 0; b < 8; ++b) line("block 0:" + std::to_string(b), b);
    for (std::size_t b = 1; b < 4; ++b) line("block 1:" + std::to_string(b), 8 + b);
  } else {
    for (std::size_t w = 0; w < m.words.size(); ++w) line("word " + std::to_string(w), w);
  }
}

}  // namespace

std::optional<TagMemory> MemoryOf(const Tag& t) {
  if (!t.t5577 && !t.em4305) return std::nullopt;
  TagMemory m;
  if (t.t5577) {
    for (int s = 0; s < T5577Chip::BlockCount; ++s) {
      m.words.push_back(t.t5577->Raw(s));
      m.locked.push_back(t.t5577->RawLocked(s));
    }
  } else {
    const std::uint32_t prot = t.em4305->Protection();
    for (int w = 0; w < Em4305Chip::WordCount; ++w) {
      m.words.push_back(t.em4305->Raw(w));
      m.locked.push_back(w == 1 || (w < 14 ? (prot >> w & 1) != 0 : (prot & Em4305Chip::ProtectsItself) != 0));
    }
  }
  return m;
}

ReaderState VirtualReader::State() const {
  std::lock_guard lock(impl_->mu);
  impl_->ApplyFeeder(SimClock::now());
  ReaderState state;
  for (const Tag& t : impl_->tags) {
    const TagInfo info = impl_->MakeInfo(t);
    TagState s;
    s.id = t.id;
    s.kind = info.kind;
    s.fed = info.fed;
    s.onReader = info.onReader;
    s.lifted = t.lifted;
    s.identity = info.identity;
    if (const auto e = t.Emit()) {
      s.em4100 = ReadEm4100(*e);
      s.fdxb = ReadFdxb(*e);
      s.hid = ReadHid(*e);
      s.fdxa = ReadFdxa(*e);
    } else {
      s.silent = true;
    }
    s.carried = t.carried;
    s.writes = t.writes;
    s.memory = MemoryOf(t);
    if (t.t5577) {
      std::vector<std::uint32_t> data;
      for (int b = 1; b < 8; ++b) data.push_back(t.t5577->Raw(b));
      s.blockFormat = DecodeAccessBlocks(t.t5577->Raw(0), data);
    }
    state.tags.push_back(std::move(s));
  }
  state.counters = impl_->counters;
  state.feederRemaining = impl_->feederRemaining;
  return state;
}

std::string StateText(const ReaderState& state) {
  std::string out = "virtual reader: " + std::to_string(state.tags.size()) + " tags, " +
                    std::to_string(state.counters.requests) + " requests, " +
                    std::to_string(state.feederRemaining) + " blanks left in the feeder\n";
  out += "faults injected: " + std::to_string(state.counters.faults);
  std::string kinds;
  for (int k = 1; k < FaultKinds; ++k) {
    const int n = state.counters.faultsByKind[static_cast<std::size_t>(k)];
    if (n > 0) kinds += (kinds.empty() ? "" : ", ") + std::string(FaultName(static_cast<Fault>(k))) + " " + std::to_string(n);
  }
  out += kinds.empty() ? "\n" : " (" + kinds + ")\n";
  for (const TagState& t : state.tags) {
    out += "tag " + std::to_string(t.id) + " " + t.kind;
    if (t.fed) out += " fed";
    if (t.onReader) out += " on-reader";
    if (t.lifted) out += " lifted-after-write";
    out += "\n";
    AppendReadings(t, out);
    if (t.writes > 0) {
      out += "  written " + std::to_string(t.writes) + " times, carried:";
      for (const auto& c : t.carried) out += " [" + (c.empty() ? std::string("no identity") : c) + "]";
      out += "\n";
    }
    AppendMemory(t, out);
  }
  return out;
}

namespace {

// Refuses a link (a planted one could send the state anywhere) and anything but a file (a
// rename over a device would replace it).
bool UsablePlace(const std::string& path, std::string* error) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return true;
    *error = "cannot use " + path + " for the final state: " + std::strerror(errno);
    return false;
  }
  if (S_ISLNK(st.st_mode)) *error = path + " is a symbolic link; --state names the file itself";
  else if (!S_ISREG(st.st_mode)) *error = path + " is not a regular file; --state wants a file or -";
  else return true;
  return false;
}

// A new file beside path: "PATH.part", or "PATH.part-N" when that name is taken. Created with
// O_EXCL, so nothing that is there, a planted link included, is ever written through.
int CreateTemporary(const std::string& path, std::string* temporary) {
  for (int n = 0; n < 100; ++n) {
    *temporary = path + ".part" + (n == 0 ? std::string() : "-" + std::to_string(n));
    const int fd = open(temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

bool WriteFd(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t put = write(fd, text.data() + done, text.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return fsync(fd) == 0;
}

}  // namespace

bool CheckStatePath(const std::string& path, std::string* error) {
  if (path.empty() || path == "-") return true;
  if (!UsablePlace(path, error)) return false;
  std::string temporary;
  const int fd = CreateTemporary(path, &temporary);
  if (fd < 0) {
    *error = "cannot write the final state beside " + path + ": " + std::strerror(errno);
    return false;
  }
  close(fd);
  unlink(temporary.c_str());
  return true;
}

bool WriteStateText(const std::string& text, const std::string& path, std::string* error) {
  if (path.empty() || path == "-") {
    std::FILE* out = path.empty() ? stderr : stdout;
    const bool ok = std::fwrite(text.data(), 1, text.size(), out) == text.size() && std::fflush(out) == 0;
    if (!ok) *error = std::string("cannot write the final state: ") + std::strerror(errno);
    return ok;
  }
  error->clear();
  if (!UsablePlace(path, error)) return false;
  std::string temporary;
  const int fd = CreateTemporary(path, &temporary);
  if (fd < 0) {
    *error = "cannot write the final state beside " + path + ": " + std::strerror(errno);
    return false;
  }
  const bool written = WriteFd(fd, text);
  const int saved = errno;
  if (close(fd) != 0 || !written || !UsablePlace(path, error) || std::rename(temporary.c_str(), path.c_str()) != 0) {
    if (error->empty()) *error = "cannot write the final state to " + path + ": " + std::strerror(written ? errno : saved);
    unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace rivelo::sim
