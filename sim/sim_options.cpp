#include "sim/sim_options.h"

#include <charconv>
#include <cstdlib>

namespace rivelo::sim {
namespace {

template <typename T>
bool Number(const std::string& text, int base, T* out) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *out, base);
  return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

std::optional<Fault> FaultByName(const std::string& name) {
  if (name == "none") return Fault::None;
  if (name == "no-answer") return Fault::NoAnswer;
  if (name == "bad-checksum") return Fault::BadChecksum;
  if (name == "truncated") return Fault::Truncated;
  if (name == "trailing") return Fault::TrailingBytes;
  if (name == "late") return Fault::Late;
  return std::nullopt;
}

// "KIND" or "KIND:PROBABILITY".
bool ParseRule(const std::string& text, FaultRule* rule) {
  const auto colon = text.find(':');
  const auto kind = FaultByName(text.substr(0, colon));
  if (!kind) return false;
  rule->fault = *kind;
  if (colon == std::string::npos) return true;
  const std::string p = text.substr(colon + 1);
  char* end = nullptr;
  rule->probability = std::strtod(p.c_str(), &end);
  return !p.empty() && end == p.c_str() + p.size() && rule->probability >= 0.0 && rule->probability <= 1.0;
}

}  // namespace

const char SimUsage[] =
    "usage: rivelo-sim [options]\n"
    "Serves a virtual reader on a pseudo-terminal; prints its path as the first line.\n"
    "  --tag TAG             a tag (repeatable; the first is on the reader):\n"
    "                        t5577[:pwd=HEX8][:aor], em4305[:pwd=HEX8][:uid=HEX8],\n"
    "                        em4100:HEX10, fdxb:COUNTRY:NATIONAL, hid:FC:CN, fdxa:HEX10\n"
    "  --feed KIND:N         N blank chips (t5577 or em4305); the first is on the reader at\n"
    "                        once, the next replaces a written tag at each acknowledgement\n"
    "  --feed-delay MS       time the operator takes to put the next one on (default 0)\n"
    "  --journal FILE|-      journal of requests and replies (- for stderr)\n"
    "  --fault KIND[:P]      a fault on every reply, with probability P (default 1)\n"
    "  --fault-cmd HEX:KIND[:P]  a fault on one command code, e.g. 10C:no-answer:0.5\n"
    "                        KIND: no-answer, bad-checksum, truncated, trailing, late, none\n"
    "  --late-ms MS          how late a late reply comes (default 1500)\n"
    "  --seed N              seed of the fault probabilities (default 1)\n"
    "  --radio-timing        wait each command's typical radio time before replying\n"
    "  --strict-mode         T5577 reads need the matching decoding mode (0x107)\n"
    "  --no-pacing           send replies at once instead of at 38400 baud\n"
    "  --burst-pacing        hold each reply for its time on the line, then send it at once\n"
    "                        (the default: a reply ends when a real one would and a busy\n"
    "                        machine can never split it)\n"
    "  --line-pacing         send each byte at its own time on the line; on a loaded machine\n"
    "                        a stall longer than the host's 5 ms gap splits the reply\n";

bool ParseSimOptions(const std::vector<std::string>& args, SimOptions* out, std::string* error) {
  SimOptions o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto value = [&](std::string* v) {
      if (i + 1 >= args.size()) {
        *error = a + " needs a value";
        return false;
      }
      *v = args[++i];
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--no-pacing") {
      o.pacing = Pacing::Off;
    } else if (a == "--burst-pacing") {
      o.pacing = Pacing::Burst;
    } else if (a == "--line-pacing") {
      o.pacing = Pacing::Line;
    } else if (a == "--radio-timing") {
      o.radioTiming = true;
    } else if (a == "--strict-mode") {
      o.strictReadMode = true;
    } else if (a == "--tag") {
      if (!value(&v)) return false;
      o.tags.push_back(v);
    } else if (a == "--journal") {
      if (!value(&v)) return false;
      o.journal = v;
    } else if (a == "--feed") {
      if (!value(&v)) return false;
      const auto colon = v.rfind(':');
      if (colon == std::string::npos || !Number(v.substr(colon + 1), 10, &o.feedCount) || o.feedCount < 0) {
        *error = "--feed wants KIND:N, e.g. t5577:20";
        return false;
      }
      o.feedKind = v.substr(0, colon);
    } else if (a == "--feed-delay" || a == "--late-ms") {
      int ms = 0;
      if (!value(&v) || !Number(v, 10, &ms) || ms < 0) {
        *error = a + " wants milliseconds";
        return false;
      }
      if (a == "--late-ms") o.lateMs = ms;
      else o.feedDelayMs = ms;
    } else if (a == "--seed") {
      std::uint64_t seed = 0;
      if (!value(&v) || !Number(v, 10, &seed)) {
        *error = "--seed wants a number";
        return false;
      }
      o.seed = seed;
    } else if (a == "--fault") {
      FaultRule rule;
      if (!value(&v) || !ParseRule(v, &rule)) {
        *error = "--fault wants KIND[:PROBABILITY]";
        return false;
      }
      o.fault = rule;
    } else if (a == "--fault-cmd") {
      FaultRule rule;
      std::uint16_t code = 0;
      const auto colon = value(&v) ? v.find(':') : std::string::npos;
      if (colon == std::string::npos || !Number(v.substr(0, colon), 16, &code) ||
          !ParseRule(v.substr(colon + 1), &rule)) {
        *error = "--fault-cmd wants HEXCODE:KIND[:PROBABILITY]";
        return false;
      }
      o.commandFaults.emplace_back(code, rule);
    } else {
      *error = "unknown argument " + a;
      return false;
    }
  }
  if (o.lateMs) {
    if (o.fault) o.fault->lateMs = *o.lateMs;
    for (auto& [code, rule] : o.commandFaults) rule.lateMs = *o.lateMs;
  }
  *out = std::move(o);
  return true;
}

bool ApplySimOptions(const SimOptions& o, VirtualReader& reader, std::string* error) {
  for (const auto& text : o.tags) {
    std::string why;
    if (reader.AddTag(text, &why) < 0) {
      *error = "bad tag '" + text + "': " + why;
      return false;
    }
  }
  if (o.feedCount > 0) {
    if (o.feedKind != "t5577" && o.feedKind != "em4305" && !o.feedKind.starts_with("t5577:") &&
        !o.feedKind.starts_with("em4305:")) {
      *error = "the feeder holds t5577 or em4305 chips";
      return false;
    }
    std::string why;
    VirtualReader probe;
    if (probe.AddTag(o.feedKind, &why) < 0) {
      *error = "bad feeder chip '" + o.feedKind + "': " + why;
      return false;
    }
    reader.SetFeeder(o.feedKind, o.feedCount, o.feedDelayMs);
  }
  if (!o.journal.empty() && !reader.SetJournal(o.journal, error)) return false;
  reader.SetPacing(o.pacing);
  reader.SetRadioTiming(o.radioTiming);
  reader.SetStrictReadMode(o.strictReadMode);
  if (o.seed) reader.SetSeed(*o.seed);
  if (o.fault) reader.SetFault(*o.fault);
  for (const auto& [code, rule] : o.commandFaults) reader.SetCommandFault(code, rule);
  return true;
}

}  // namespace rivelo::sim
