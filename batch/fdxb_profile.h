// The chip operations for FDX-B identities: the read (0x10B) and each chip's write of the
// 12-byte record, and the profiles of the two FDX-B pages, which differ in their write and
// their texts.
#pragma once

#include <functional>

#include "batch/batch_profile.h"
#include "model/fdxb.h"
#include "resources/texts_fdxb.h"

namespace rivelo {

// An identity of 10 bytes, the reader's "none", or no valid reply.
ReadOutcome ReadFdxbTag(Identity* id);
ChipWrite T5577FdxbWrite();
ChipWrite Em4305FdxbWrite();

// A FDX-B page's texts as its runs use them (the export-started line does not scroll).
BatchTexts FdxbBatchTexts(const texts::fdxb::PageTexts& t);

// Period 500 ms, one write; texts are the page's own.
BatchProfile MakeFdxbProfile(ChipWrite write, BatchTexts texts, std::function<RunChoices()> choices);

}  // namespace rivelo
