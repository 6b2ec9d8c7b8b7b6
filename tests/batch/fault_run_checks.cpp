#include "fault_run_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "model/access/access_identity.h"
#include "model/fdxb.h"

namespace rivelo::faulttest {
namespace {

std::string Text(const IdentityFormat& format, const Identity& id) {
  return id.empty() ? std::string("(none)") : format.text(id, 0);
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

}  // namespace

Identity HeldIdentity(const sim::TagState& tag, const IdentityFormat& format) {
  if (std::string(format.name) == "em4100" && tag.em4100) return Identity(tag.em4100->begin(), tag.em4100->end());
  if (std::string(format.name) == "fdxb" && tag.fdxb) {
    FdxbId id{};
    SetNumber(id, FdxbNumber::National, tag.fdxb->national);
    SetNumber(id, FdxbNumber::Country, tag.fdxb->country);
    SetNumber(id, FdxbNumber::Trailer, tag.fdxb->trailer);
    return FromFdxbId(id);
  }
  if (std::string(format.name) == "hid" && tag.hid)
    return {tag.hid->facility, static_cast<std::uint8_t>(tag.hid->card >> 8), static_cast<std::uint8_t>(tag.hid->card & 0xFF)};
  if (std::string(format.name) == "fdxa" && tag.fdxa) return Identity(tag.fdxa->begin(), tag.fdxa->end());
  // An access-control format: the identity whose image page 0 holds, every block of it.
  if (const access::AccessFormat* a = access::FindAccessFormat(format.name); a && tag.memory && tag.memory->words.size() > a->dataBlocks) {
    const std::vector<std::uint32_t>& w = tag.memory->words;
    const access::BlockImage image{w[0], std::vector<std::uint32_t>(w.begin() + 1, w.begin() + 1 + static_cast<std::ptrdiff_t>(a->dataBlocks))};
    const auto values = access::Decode(*a, image);
    if (values && access::Encode(*a, *values)->data == image.data) return access::ToIdentity(*a, *values);
  }
  return {};
}

std::string FaultSummary(const sim::Counters& counters) {
  std::string s;
  for (int k = 1; k < sim::FaultKinds; ++k) {
    const int n = counters.faultsByKind[static_cast<std::size_t>(k)];
    if (n > 0) s += (s.empty() ? "" : ", ") + std::string(sim::FaultName(static_cast<sim::Fault>(k))) + " " + std::to_string(n);
  }
  return s.empty() ? "none" : s;
}

void ExpectWriteRunKeptItsPromises(const sim::ReaderState& state, const std::vector<ListedTag>& listed,
                                   const WriteRunChecks& checks) {
  const IdentityFormat& format = *checks.format;
  // The list: exactly the identities wanted, in order, numbered 1, 2, 3...
  ASSERT_EQ(listed.size(), checks.wanted.size()) << "tags listed";
  for (std::size_t k = 0; k < listed.size(); ++k) {
    EXPECT_EQ(listed[k].number, static_cast<int>(k) + 1);
    EXPECT_EQ(Text(format, listed[k].id), Text(format, checks.wanted[k])) << "listed tag " << k + 1;
    EXPECT_NE(listed[k].chip, nullptr) << "a written tag names the chip read back";
  }

  // The tags: each listed identity on exactly as many fed tags as it was listed, not
  // counting those taken away before their read-back (which the run could not list).
  std::map<Identity, int> onTags, inList;
  std::set<Identity> takenAway;
  int lifted = 0;
  for (const sim::TagState& t : state.tags) {
    if (!t.fed) continue;
    std::set<std::string> carried;
    for (const auto& c : t.carried)
      if (!c.empty()) carried.insert(c);
    EXPECT_LE(carried.size(), 1u) << "tag " << t.id << " was written over: " << sim::StateText(state);
    const Identity held = HeldIdentity(t, format);
    if (t.lifted) {
      ++lifted;
      if (!held.empty()) takenAway.insert(held);
      continue;
    }
    if (held.empty()) continue;
    EXPECT_EQ(t.kind, checks.chipKind) << "tag " << t.id;
    ++onTags[held];
  }
  for (const ListedTag& l : listed) ++inList[l.id];
  for (const auto& [id, n] : inList)
    EXPECT_EQ(onTags[id], n) << Text(format, id) << ": listed " << n << " times, on " << onTags[id] << " tags";
  for (const auto& [id, n] : onTags)
    EXPECT_TRUE(inList.count(id)) << Text(format, id) << " is on " << n << " tags but was never listed";
  // A tag taken away held an identity that the run then gave the next tag.
  for (const Identity& id : takenAway)
    EXPECT_TRUE(inList.count(id)) << Text(format, id) << " went away on a tag and was never listed";
  EXPECT_EQ(lifted, state.counters.faultsByKind[static_cast<std::size_t>(sim::Fault::LiftAfterWrite)]);
}

void ExpectListedChipsAreTheTags(const std::vector<ListedTag>& listed, const std::string& chipKind) {
  for (const ListedTag& l : listed)
    EXPECT_EQ(Lower(l.chip ? l.chip : ""), chipKind) << "listed tag " << l.number << " names the wrong chip";
}

}  // namespace rivelo::faulttest
