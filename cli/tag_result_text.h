// What rivelo says when a single tag operation did not count (batch/tag_result.h): the same
// outcome and hint the window's raw-access pages give, in rivelo's words.
#pragma once

#include <string>

#include "batch/tag_result.h"

namespace rivelo::cli {

enum class TagChip { T5577, Em4305 };

// action: "write", "read"; where: "block 3 of page 0", "word 5". "the chip refused the write
// of block 3 of page 0; the chip may be password-protected (give --password)".
std::string TagFailureText(const TagResult& result, const std::string& action, const std::string& where,
                           TagChip chip);

}  // namespace rivelo::cli
