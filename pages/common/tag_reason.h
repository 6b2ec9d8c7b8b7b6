// The reason a raw-access page gives after its failure text when a tag operation did not
// count, in the build's language: the same outcome and hint rivelo words in English.
#pragma once

#include <QString>

#include "batch/tag_result.h"

namespace rivelo {

enum class TagChip { T5577, Em4305 };

// "reason" or "reason; hint"; empty for a result that counts.
QString TagReason(const TagResult& result, TagChip chip);
// failText, then the reason.
QString WithTagReason(const QString& failText, const TagResult& result, TagChip chip);

}  // namespace rivelo
