// The rivelo tool's commands that speak to the reader one exchange at a time.
#pragma once

#include <string>
#include <vector>

#include "cli/cli_context.h"

namespace rivelo::cli {

using Args = std::vector<std::string>;

// identify: prints the port on which the reader answered.
int RunIdentify(CliContext& ctx, const Args& args);
// read em4100: prints the identity as 10 upper-case hex digits.
int RunReadEm4100(CliContext& ctx, const Args& args);
// send CODE [HEXBYTE]...: one raw command; prints the result, the status and the payload.
int RunSend(CliContext& ctx, const Args& args);

}  // namespace rivelo::cli
