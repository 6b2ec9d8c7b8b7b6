// The program's fonts: SimSun where it is installed, otherwise a CJK font of the system, so
// that the Chinese texts are legible.
#pragma once

#include <QFont>

namespace rivelo {

// SimSun 10 pt with CJK fallbacks: the toolbar controls.
QFont ToolbarFont();
// Makes the application's font SimSun 9 pt (the Chinese dialog font) with the same fallbacks.
void ApplyApplicationFont();

}  // namespace rivelo
