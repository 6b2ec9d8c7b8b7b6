// What the reader link's failures are called on rivelo's standard error.
#pragma once

#include <string>

#include "reader/discovery.h"

namespace rivelo::cli {

// "bad checksum", "truncated", ... for a reply that was no reply.
std::string DescribeReplyFailure(ReplyFailure failure);
// Why a port gave no reader: "in use by another program", "no such port", ...
std::string DescribeAttempt(const PortAttempt& attempt);
// A port that a reader may well sit behind, but that could not be opened.
bool PortRefused(const PortAttempt& attempt);

}  // namespace rivelo::cli
