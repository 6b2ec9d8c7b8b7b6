// The rivelo tool's EM4100 jobs, on the same batch runner as the window's EM4100 page:
//   write em4100 HEX10 [--lock]
//   run em4100 (--continuous HEX10 | --incremental HEX10 | --file PATH) [--count N] [--lock]
//   read em4100 --continuous [--export DIR] [--form 10H|08H|06H|02H04H] [--count N]
#pragma once

#include "cli/basic_commands.h"

namespace rivelo::cli {

int RunWriteEm4100(CliContext& ctx, const Args& args);
int RunRunEm4100(CliContext& ctx, const Args& args);
// read em4100 with --continuous; without it the single read of RunReadEm4100 applies.
int RunReadEm4100Continuous(CliContext& ctx, const Args& args);

}  // namespace rivelo::cli
