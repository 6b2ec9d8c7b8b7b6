// Enter and Escape neither close a page nor trigger anything on it: a page sits in a tab, and
// a stray Enter must not start a write.
#pragma once

class QWidget;

namespace rivelo {

// Swallows the two keys on the page and on every control it holds now; call it once the page
// has built its controls.
void SwallowDialogKeys(QWidget& page);

}  // namespace rivelo
