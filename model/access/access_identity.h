// The access-control formats as identity formats, so that runs, the run log, exports, --json
// and the registry take them as they take every other format. The identity bytes are the field
// values, each most significant byte first in as many bytes as its maximum needs.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/access/access_format.h"
#include "model/identity.h"

namespace rivelo::access {

// One per AccessFormats(), in its order; each named as its descriptor.
const std::vector<IdentityFormat>& AccessIdentityFormats();

Identity ToIdentity(const AccessFormat& format, const AccessValues& values);
// The values of an identity of the format's byte length, in range; nullopt otherwise.
std::optional<AccessValues> ValuesOf(const AccessFormat& format, const Identity& id);

// Block 0 and the data blocks, 8 hex digits each, separated by blanks.
std::string BlocksText(const BlockImage& image);

}  // namespace rivelo::access
