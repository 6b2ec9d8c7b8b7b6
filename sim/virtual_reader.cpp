#include "sim/virtual_reader.h"

#include <algorithm>
#include <ctime>
#include <thread>

#include "sim/reader_state.h"

namespace rivelo::sim {
namespace {

std::string HexText(const std::vector<std::uint8_t>& bytes) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string s;
  for (const auto b : bytes) {
    if (!s.empty()) s += ' ';
    s += digits[b >> 4];
    s += digits[b & 0xF];
  }
  return s;
}

std::string Timestamp() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%03d", tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(ms));
  return buf;
}

// Requests that the tag on the reader takes part in (the reader's own do not).
bool ReachesTag(std::uint16_t code) { return code >= 0x10A && code != 0x208; }

}  // namespace

const char* FaultName(Fault f) {
  switch (f) {
    case Fault::NoAnswer: return "no answer";
    case Fault::BadChecksum: return "bad checksum";
    case Fault::Truncated: return "truncated";
    case Fault::TrailingBytes: return "trailing bytes";
    case Fault::Late: return "late";
    case Fault::LiftAfterWrite: return "lift after write";
    case Fault::Misread: return "misread";
    case Fault::None: break;
  }
  return "";
}

// --- state helpers ---

VirtualReader::Impl::~Impl() {
  if (journal && journalOwned) std::fclose(journal);
}

Tag* VirtualReader::Impl::FindTag(int id) {
  for (auto& t : tags)
    if (t.id == id) return &t;
  return nullptr;
}

const Tag* VirtualReader::Impl::FindTag(int id) const {
  for (const auto& t : tags)
    if (t.id == id) return &t;
  return nullptr;
}

Tag* VirtualReader::Impl::OnReader() { return onReader ? FindTag(*onReader) : nullptr; }

int VirtualReader::Impl::CreateTag(std::string_view text, std::string* error) {
  auto tag = MakeTag(text, nextId, error);
  if (!tag) return -1;
  tags.push_back(std::move(*tag));
  return nextId++;
}

void VirtualReader::Impl::Place(std::optional<int> id) {
  // Leaving or entering the field powers a tag down or up.
  if (Tag* old = OnReader()) old->FieldOff();
  onReader = id;
  onReaderWritten = false;
  onReaderWriteTried = false;
  // A dwell belongs to the tag that was on the reader.
  leaving = false;
  leaveAt.reset();
  leaveAfterReads = 0;
  if (Tag* now = OnReader()) now->FieldOff();
}

void VirtualReader::Impl::RecordWrite() {
  Tag* t = OnReader();
  if (!t) return;
  ++t->writes;
  const auto e = t->Emit();
  std::string carries = e ? IdentityText(*e) : "";
  if (t->carried.empty() || t->carried.back() != carries) t->carried.push_back(std::move(carries));
}

TagInfo VirtualReader::Impl::MakeInfo(const Tag& t) const {
  TagInfo info;
  info.id = t.id;
  info.kind = t.KindName();
  info.description = t.Describe();
  info.onReader = onReader == t.id;
  const auto e = t.Emit();
  info.identity = e ? IdentityText(*e) : "";
  info.fed = std::find(fedIds.begin(), fedIds.end(), t.id) != fedIds.end();
  info.lifted = t.lifted;
  return info;
}

namespace {

bool Live(const FaultRule& r) { return r.fault != Fault::None && r.times != 0; }

// One draw for a set of rules: the first whose share of [0, 1) the draw falls into. A rule
// still letting replies through counts one down instead.
FaultRule* Draw(std::mt19937_64& rng, std::vector<FaultRule*> rules) {
  std::erase_if(rules, [](FaultRule* r) { return r->after > 0 && r->after-- > 0; });
  if (rules.empty()) return nullptr;
  const double draw = std::uniform_real_distribution<double>(0.0, 1.0)(rng);
  double share = 0;
  for (FaultRule* r : rules) {
    share += r->probability;
    if (draw >= share) continue;
    if (r->times > 0) --r->times;
    return r;
  }
  return nullptr;
}

}  // namespace

void VirtualReader::Impl::CountFault(Fault fault) {
  ++counters.faults;
  ++counters.faultsByKind[static_cast<std::size_t>(fault)];
}

FaultRule VirtualReader::Impl::PickFault(std::uint16_t code, bool canMisread) {
  // A command's own rule wins while it lasts; then the rules for all commands apply. A misread
  // is no fault of a reply that carries no identity, so it is not drawn there.
  const auto applies = [canMisread](const FaultRule& r) {
    return Live(r) && r.fault != Fault::LiftAfterWrite && (canMisread || r.fault != Fault::Misread);
  };
  std::vector<FaultRule*> rules;
  const auto it = commandFaults.find(code);
  if (it != commandFaults.end() && Live(it->second) && it->second.fault != Fault::LiftAfterWrite) {
    // Until it starts, the command's rule still stands for it: the reply goes through untouched.
    if (it->second.after > 0) {
      --it->second.after;
      return {};
    }
    if (applies(it->second)) rules.push_back(&it->second);
  } else {
    for (auto& r : replyFaults)
      if (applies(r)) rules.push_back(&r);
  }
  const FaultRule* hit = Draw(rng, rules);
  if (!hit) return {};
  CountFault(hit->fault);
  return *hit;
}

bool VirtualReader::Impl::PickLift(std::uint16_t code) {
  const auto it = commandFaults.find(code);
  const bool own = it != commandFaults.end() && Live(it->second) && it->second.fault == Fault::LiftAfterWrite;
  FaultRule* rule = own ? &it->second : &liftFault;
  if (rule->fault != Fault::LiftAfterWrite || !Draw(rng, {rule})) return false;
  CountFault(Fault::LiftAfterWrite);
  return true;
}

void VirtualReader::Impl::Journal(const std::string& line) {
  if (!journal && !journalSink) return;
  const std::string stamped = Timestamp() + " " + line;
  if (journal) {
    std::fprintf(journal, "%s\n", stamped.c_str());
    std::fflush(journal);
  }
  if (journalSink) journalSink(stamped);
}

// --- public face ---

VirtualReader::VirtualReader() : impl_(std::make_unique<Impl>()) {}
VirtualReader::~VirtualReader() = default;

int VirtualReader::AddTag(std::string_view text, std::string* error) {
  std::lock_guard lock(impl_->mu);
  const int id = impl_->CreateTag(text, error);
  if (id >= 0 && impl_->tags.size() == 1) impl_->Place(id);
  return id;
}

bool VirtualReader::RemoveTag(int id) {
  std::lock_guard lock(impl_->mu);
  auto& tags = impl_->tags;
  const auto it = std::find_if(tags.begin(), tags.end(), [id](const Tag& t) { return t.id == id; });
  if (it == tags.end()) return false;
  if (impl_->onReader == id) impl_->Place(std::nullopt);
  tags.erase(it);
  return true;
}

bool VirtualReader::PlaceOnReader(int id) {
  std::lock_guard lock(impl_->mu);
  impl_->ApplyFeeder(SimClock::now());
  if (!impl_->FindTag(id)) return false;
  if (impl_->onReader != id) impl_->Place(id);
  return true;
}

void VirtualReader::TakeOffReader() {
  std::lock_guard lock(impl_->mu);
  impl_->ApplyFeeder(SimClock::now());
  impl_->Place(std::nullopt);
}

std::optional<int> VirtualReader::TagOnReader() const {
  std::lock_guard lock(impl_->mu);
  impl_->ApplyFeeder(SimClock::now());
  return impl_->onReader;
}

std::vector<TagInfo> VirtualReader::Tags() const {
  std::lock_guard lock(impl_->mu);
  impl_->ApplyFeeder(SimClock::now());
  std::vector<TagInfo> out;
  for (const auto& t : impl_->tags) out.push_back(impl_->MakeInfo(t));
  return out;
}

std::optional<TagInfo> VirtualReader::Info(int id) const {
  std::lock_guard lock(impl_->mu);
  impl_->ApplyFeeder(SimClock::now());
  const Tag* t = impl_->FindTag(id);
  if (!t) return std::nullopt;
  return impl_->MakeInfo(*t);
}

std::optional<TagMemory> VirtualReader::Memory(int id) const {
  std::lock_guard lock(impl_->mu);
  const Tag* t = impl_->FindTag(id);
  if (!t) return std::nullopt;
  return MemoryOf(*t);
}

Counters VirtualReader::GetCounters() const {
  std::lock_guard lock(impl_->mu);
  return impl_->counters;
}

void VirtualReader::SetPacing(Pacing pacing) {
  std::lock_guard lock(impl_->mu);
  impl_->pacing = pacing;
}

Pacing VirtualReader::GetPacing() const {
  std::lock_guard lock(impl_->mu);
  return impl_->pacing;
}

void VirtualReader::SetRadioTiming(bool on) {
  std::lock_guard lock(impl_->mu);
  impl_->radioTiming = on;
}

void VirtualReader::SetStrictReadMode(bool on) {
  std::lock_guard lock(impl_->mu);
  impl_->strictReadMode = on;
}

void VirtualReader::SetFault(const FaultRule& rule) {
  std::lock_guard lock(impl_->mu);
  impl_->replyFaults.clear();
  impl_->liftFault = {};
  if (rule.fault == Fault::LiftAfterWrite) impl_->liftFault = rule;
  else if (rule.fault != Fault::None) impl_->replyFaults.push_back(rule);
}

void VirtualReader::AddFault(const FaultRule& rule) {
  std::lock_guard lock(impl_->mu);
  if (rule.fault == Fault::LiftAfterWrite) impl_->liftFault = rule;
  else if (rule.fault != Fault::None) impl_->replyFaults.push_back(rule);
}

void VirtualReader::SetCommandFault(std::uint16_t code, const FaultRule& rule) {
  std::lock_guard lock(impl_->mu);
  impl_->commandFaults[code] = rule;
}

void VirtualReader::ClearFaults() {
  std::lock_guard lock(impl_->mu);
  impl_->replyFaults.clear();
  impl_->liftFault = {};
  impl_->commandFaults.clear();
}

void VirtualReader::SetSeed(std::uint64_t seed) {
  std::lock_guard lock(impl_->mu);
  impl_->rng.seed(seed);
}

bool VirtualReader::SetJournal(const std::string& path, std::string* error) {
  std::lock_guard lock(impl_->mu);
  std::FILE* f = nullptr;
  if (path == "-") {
    f = stderr;
  } else if (!path.empty()) {
    f = std::fopen(path.c_str(), "a");
    if (!f) {
      if (error) *error = "cannot open " + path;
      return false;
    }
  }
  if (impl_->journal && impl_->journalOwned) std::fclose(impl_->journal);
  impl_->journal = f;
  impl_->journalOwned = f && f != stderr;
  return true;
}

void VirtualReader::SetJournalSink(std::function<void(const std::string&)> sink) {
  std::lock_guard lock(impl_->mu);
  impl_->journalSink = std::move(sink);
}

Reply VirtualReader::Respond(const std::vector<std::uint8_t>& raw) {
  std::lock_guard lock(impl_->mu);
  Impl& s = *impl_;
  const auto now = SimClock::now();
  s.ApplyFeeder(now);
  ++s.counters.requests;
  const Tag* before = s.OnReader();
  const std::string field = before ? "[tag " + std::to_string(before->id) + " " + before->KindName() + "]" : "[no tag]";
  s.Journal("> " + HexText(raw) + " " + field);

  // A request that cannot be read, or whose checksum is wrong, gets no answer: the host
  // cannot tell which command it was, and silence makes it report "no valid reply".
  const auto request = ParseRequest(raw);
  if (!request || !request->checksumOk) {
    s.Journal(std::string("< (silent: ") + (request ? "bad checksum" : "not a frame") + ")");
    return {};
  }
  const Outcome out = s.Execute(*request, now);
  // Before any fault: a lost reply leaves the chip written all the same.
  if (WritesTag(request->code) && s.OnReader()) s.onReaderWriteTried = true;
  const bool wrote = out.status == StatusOk && WritesTag(request->code) && s.OnReader();
  if (wrote) {
    s.onReaderWritten = true;
    s.RecordWrite();
  }
  const bool identityRead = request->code >= 0x10A && request->code <= 0x10D;
  const FaultRule fault = s.PickFault(request->code, identityRead && out.status == StatusOk);
  Reply reply;
  if (fault.fault == Fault::Misread)
    reply.bytes = BuildReply(request->code, StatusFail, {}, false);
  else
    reply.bytes = BuildReply(request->code, out.status, out.payload, fault.fault == Fault::BadChecksum);
  if (s.radioTiming) reply.delayMs += RadioTimeMs(request->code);
  switch (fault.fault) {
    case Fault::NoAnswer: reply.bytes.clear(); break;
    case Fault::Truncated: reply.bytes.resize(reply.bytes.size() / 2); break;
    case Fault::TrailingBytes: reply.bytes.insert(reply.bytes.end(), {0x5A, 0x00, 0x33}); break;
    case Fault::Late: reply.delayMs += std::clamp(fault.lateMs, 0, MaxLateMs); break;
    default: break;
  }
  std::string line = "< " + (reply.bytes.empty() ? std::string("(silent)") : HexText(reply.bytes));
  if (fault.fault != Fault::None) line += std::string(" [fault: ") + FaultName(fault.fault) + "]";
  if (wrote && s.PickLift(request->code)) {
    // Taken away before the host can read it back; the feeder goes on as after a lift.
    Tag* tag = s.OnReader();
    tag->lifted = true;
    line += " [fault: lift after write, tag " + std::to_string(tag->id) + " taken away]";
    s.LiftTag(now);
    s.ApplyFeeder(now);
  } else if (ReachesTag(request->code)) {
    s.CountDwellRead(now);
  }
  if (reply.delayMs > 0) line += " [after " + std::to_string(reply.delayMs) + " ms]";
  s.Journal(line);
  return reply;
}

std::vector<std::uint8_t> VirtualReader::HandleRequest(const std::vector<std::uint8_t>& raw) {
  Reply r = Respond(raw);
  if (r.delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(r.delayMs));
  return std::move(r.bytes);
}

}  // namespace rivelo::sim
