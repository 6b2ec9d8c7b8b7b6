#include "sim/sim_options.h"

#include <charconv>
#include <cstdlib>

#include "sim/tag_kinds.h"

namespace rivelo::sim {
namespace {

template <typename T>
bool Number(const std::string& text, int base, T* out) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *out, base);
  return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

// A whole decimal number within [min, max]; false on anything else, overflow included.
bool Bounded(const std::string& text, int min, int max, int* out) {
  int v = 0;
  if (!Number(text, 10, &v) || v < min || v > max) return false;
  *out = v;
  return true;
}

std::optional<Fault> FaultByName(const std::string& name) {
  if (name == "none") return Fault::None;
  if (name == "no-answer") return Fault::NoAnswer;
  if (name == "bad-checksum") return Fault::BadChecksum;
  if (name == "truncated") return Fault::Truncated;
  if (name == "trailing") return Fault::TrailingBytes;
  if (name == "late") return Fault::Late;
  if (name == "lift-after-write") return Fault::LiftAfterWrite;
  if (name == "misread") return Fault::Misread;
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
  // Written as !(inside) so that NaN is refused too.
  return !p.empty() && end == p.c_str() + p.size() && !(rule->probability < 0.0 || rule->probability > 1.0) &&
         rule->probability == rule->probability;
}

bool IsReplyFault(const FaultRule& r) { return r.fault != Fault::None && r.fault != Fault::LiftAfterWrite; }

// The setting of a tag text ("t5577:pwd=11223344:aor") given twice, by its name ("pwd"), or
// empty: a second value would silently win over the first.
std::string RepeatedSetting(const std::string& tag) {
  std::vector<std::string> seen;
  std::size_t at = tag.find(':');
  while (at != std::string::npos) {
    const std::size_t end = tag.find(':', at + 1);
    const std::string part = tag.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
    const std::string name = part.substr(0, part.find('='));
    // Only named settings: fixed tags take plain values (fdxb:999:999 is not a repeat).
    if (part.find('=') != std::string::npos || name == "aor") {
      for (const std::string& s : seen)
        if (s == name) return name;
      seen.push_back(name);
    }
    at = end;
  }
  return {};
}

}  // namespace

const std::string SimUsage =
    "usage: rivelo-sim [options]\n"
    "Serves a virtual reader on a pseudo-terminal; prints its path as the first line.\n"
    "  --tag TAG             a tag (repeatable; the first is on the reader):\n"
    "                        " + TagKindSyntax(24, 90) + "\n"
    "  --feed KIND:N         N blank chips (t5577 or em4305, options as in --tag before N);\n"
    "                        the first is on the reader at once, the next replaces a written\n"
    "                        tag at each acknowledgement, or one the host signals an error\n"
    "                        for after writing it (the reject tray). Repeatable: the stacks\n"
    "                        follow each other (N up to 1000000 in all)\n"
    "  --feed-delay MS       time the operator takes to put the next one on (default 0)\n"
    "  --dwell MS            a written tag stays on the reader MS after its acknowledgement\n"
    "                        before the operator lifts it (default 0: at once)\n"
    "  --dwell-reads N       ... or until N more requests reached it, whichever comes first\n"
    "  --journal FILE|-      journal of requests and replies (- for stderr)\n"
    "  --state FILE|-        where the final state goes when rivelo-sim ends (- for stdout;\n"
    "                        default stderr): each tag as every format reads it, its memory,\n"
    "                        what its writes gave it, and the faults injected\n"
    "  --fault KIND[:P]      a fault on every reply (lift-after-write: after every write),\n"
    "                        with probability P (default 1); repeatable: the reply faults'\n"
    "                        probabilities add up (at most 1), a lift is drawn on its own\n"
    "  --fault-cmd HEX:KIND[:P]  a fault on one command code, e.g. 10C:no-answer:0.5\n"
    "                        KIND: no-answer, bad-checksum, truncated, trailing, late, none,\n"
    "                        lift-after-write (after a successful write the tag is taken\n"
    "                        away before it is read back, and the next blank follows),\n"
    "                        misread (an identity read answers that it found none,\n"
    "                        although the tag on the reader sends one)\n"
    "  --late-ms MS          how late a late reply comes (default 1500)\n"
    "  --seed N              seed of the fault probabilities (default 1)\n"

    "  --radio-timing        wait each command's typical radio time before replying\n"
    "  --strict-mode         T5577 reads need the matching decoding mode (0x107)\n"
    "  --no-pacing           send replies at once instead of at 38400 baud\n"
    "  --burst-pacing        hold each reply for its time on the line, then send it at once\n"
    "                        (the default: a reply ends when a real one would and a busy\n"
    "                        machine can never split it)\n"
    "  --line-pacing         send each byte at its own time on the line; on a loaded machine\n"
    "                        a stall longer than the host's 5 ms gap splits the reply\n"
    "                        (one pacing option at most; a tag's settings once each)\n"
    "Ranges: --late-ms 0-60000, --feed-delay and --dwell 0-600000, --dwell-reads 0-1000.\n"
    "The final state goes out when rivelo-sim ends on SIGINT, SIGTERM or SIGHUP.\n";

bool ParseSimOptions(const std::vector<std::string>& args, SimOptions* out, std::string* error) {
  SimOptions o;
  std::string pacingOption;  // the pacing option given, so that a second, different one is refused
  const auto pacing = [&](const std::string& option, Pacing p) {
    if (!pacingOption.empty() && pacingOption != option) {
      *error = option + " contradicts " + pacingOption + ": give one pacing option";
      return false;
    }
    pacingOption = option;
    o.pacing = p;
    return true;
  };
  const auto settingsOnce = [&](const std::string& option, const std::string& tag) {
    const std::string repeated = RepeatedSetting(tag);
    if (!repeated.empty()) *error = option + " " + tag + " sets " + repeated + " twice";
    return repeated.empty();
  };
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
      if (!pacing(a, Pacing::Off)) return false;
    } else if (a == "--burst-pacing") {
      if (!pacing(a, Pacing::Burst)) return false;
    } else if (a == "--line-pacing") {
      if (!pacing(a, Pacing::Line)) return false;
    } else if (a == "--radio-timing") {
      o.radioTiming = true;
    } else if (a == "--strict-mode") {
      o.strictReadMode = true;
    } else if (a == "--tag") {
      if (!value(&v) || !settingsOnce(a, v)) return false;
      o.tags.push_back(v);
    } else if (a == "--journal") {
      if (!value(&v)) return false;
      o.journal = v;
    } else if (a == "--feed") {
      if (!value(&v)) return false;
      const auto colon = v.rfind(':');
      FeedStack stack;
      if (colon == std::string::npos || !Bounded(v.substr(colon + 1), 0, MaxFeedCount, &stack.count)) {
        *error = "--feed wants KIND:N with N from 0 to " + std::to_string(MaxFeedCount) + ", e.g. t5577:20";
        return false;
      }
      stack.kind = v.substr(0, colon);
      if (!settingsOnce(a, stack.kind)) return false;
      int total = stack.count;
      for (const FeedStack& f : o.feeds) total += f.count;
      if (total > MaxFeedCount) {
        *error = "--feed: the stacks hold 0 to " + std::to_string(MaxFeedCount) + " blank chips in all";
        return false;
      }
      o.feeds.push_back(std::move(stack));
    } else if (a == "--feed-delay" || a == "--late-ms" || a == "--dwell" || a == "--dwell-reads") {
      const bool late = a == "--late-ms";
      const bool reads = a == "--dwell-reads";
      const int max = late ? MaxLateMs : reads ? MaxDwellReads : MaxDelayMs;
      if (!value(&v)) return false;
      int n = 0;
      if (!Bounded(v, 0, max, &n)) {
        *error = a + " wants " + (reads ? "a number of requests" : "milliseconds") + " from 0 to " +
                 std::to_string(max) + ", not '" + v + "'";
        return false;
      }
      if (late) o.lateMs = n;
      else if (reads) o.dwellReads = n;
      else if (a == "--dwell") o.dwellMs = n;
      else o.feedDelayMs = n;
    } else if (a == "--state") {
      if (!value(&v) || v.empty()) {
        *error = "--state wants a file name, or - for standard output";
        return false;
      }
      o.stateFile = v;
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
        *error = "--fault wants KIND[:PROBABILITY], the probability from 0 to 1";
        return false;
      }
      o.faults.push_back(rule);
    } else if (a == "--fault-cmd") {
      FaultRule rule;
      std::uint16_t code = 0;
      const auto colon = value(&v) ? v.find(':') : std::string::npos;
      if (colon == std::string::npos || !Number(v.substr(0, colon), 16, &code) ||
          !ParseRule(v.substr(colon + 1), &rule)) {
        *error = "--fault-cmd wants HEXCODE:KIND[:PROBABILITY], the probability from 0 to 1";
        return false;
      }
      o.commandFaults.emplace_back(code, rule);
    } else {
      *error = "unknown argument " + a;
      return false;
    }
  }
  // Drawn together, reply faults can share one reply's chance, not more.
  double together = 0;
  for (const auto& rule : o.faults)
    if (IsReplyFault(rule)) together += rule.probability;
  if (together > 1.0 + 1e-9) {
    *error = "the --fault reply faults' probabilities add up to more than 1";
    return false;
  }
  if (o.lateMs) {
    for (auto& rule : o.faults) rule.lateMs = *o.lateMs;
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
  for (const FeedStack& f : o.feeds) {
    if (f.kind != "t5577" && f.kind != "em4305" && !f.kind.starts_with("t5577:") && !f.kind.starts_with("em4305:")) {
      *error = "the feeder holds t5577 or em4305 chips";
      return false;
    }
    std::string why;
    VirtualReader probe;
    if (probe.AddTag(f.kind, &why) < 0) {
      *error = "bad feeder chip '" + f.kind + "': " + why;
      return false;
    }
  }
  if (!o.feeds.empty()) reader.SetFeeder(o.feeds, o.feedDelayMs);
  if (!o.journal.empty() && !reader.SetJournal(o.journal, error)) return false;
  reader.SetDwell(o.dwellMs, o.dwellReads);
  reader.SetPacing(o.pacing);
  reader.SetRadioTiming(o.radioTiming);
  reader.SetStrictReadMode(o.strictReadMode);
  if (o.seed) reader.SetSeed(*o.seed);
  reader.SetFault({});
  for (const auto& rule : o.faults) reader.AddFault(rule);
  for (const auto& [code, rule] : o.commandFaults) reader.SetCommandFault(code, rule);
  return true;
}

}  // namespace rivelo::sim
