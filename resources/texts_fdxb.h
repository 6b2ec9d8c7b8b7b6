// Texts of the two FDX-B pages. Each page speaks one language in both builds: the T5577 page
// Chinese, the EM4305 page English; only the animal-ID line under the fields follows the build.
#pragma once

#include "resources/text_pair.h"

namespace rivelo::texts::fdxb {

// What one FDX-B page shows; the count texts hold one %d.
struct PageTexts {
  // Captions: the three rows, the two columns, the run panel's controls.
  const char *national, *country, *trailer, *hex, *dec;
  const char *options, *continuous, *incremental, *fromFile, *read, *write;
  // List lines. exportStarted is followed by the path and then exportStartedEnd.
  const char *fileOpened, *fileLoaded, *counted, *numbered, *numberedIncremental, *stop, *exportStarted,
      *exportStartedEnd;
  // Status texts, the chooser's title; readResult ends a single read, found or not.
  const char *notConnected, *writing, *reading, *folderPrompt, *cannotOpen, *writeOk, *writeError, *readResult;
  // An export file that cannot be created (followed by the path and the reason) or written.
  const char *exportCannotCreate, *exportCannotWrite;
};

const PageTexts& AtaPage();
const PageTexts& Em4305Page();

// The caption of the line that shows a read identity as certificates write it.
extern const TextPair AnimalId;

}  // namespace rivelo::texts::fdxb
