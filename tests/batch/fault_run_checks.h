// What a run under faults promises, checked from the tags' side: the virtual reader's final
// state against the tags the run listed.
#pragma once

#include <string>
#include <vector>

#include "batch/batch_view.h"
#include "model/identity.h"
#include "sim/final_state.h"
#include "sim/virtual_reader.h"

namespace rivelo::faulttest {

// The identity a tag carries, in the format's bytes as the reader hands them over; empty when
// the tag carries none of that format.
Identity HeldIdentity(const sim::TagState& tag, const IdentityFormat& format);

// The fault counts by kind, "no answer 3, bad checksum 2, ..." ("none" when none).
std::string FaultSummary(const sim::Counters& counters);

struct WriteRunChecks {
  const IdentityFormat* format = nullptr;
  std::string chipKind;         // what the fed blanks are: "t5577" or "em4305"
  std::vector<Identity> wanted;  // the identities the list must hold, in order
};

// Every listed line stands for a fed tag of its own that carries it; every identity is listed
// exactly once and in order; no tag was written over with another identity; the only other
// carriers of listed identities are tags taken away before their read-back. Failures are
// reported with gtest's EXPECT.
void ExpectWriteRunKeptItsPromises(const sim::ReaderState& state, const std::vector<ListedTag>& listed,
                                   const WriteRunChecks& checks);

// The chip each listed tag names is the chip the tag is.
void ExpectListedChipsAreTheTags(const std::vector<ListedTag>& listed, const std::string& chipKind);

}  // namespace rivelo::faulttest
