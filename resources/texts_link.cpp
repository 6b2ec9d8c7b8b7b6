#include "resources/texts_link.h"

namespace rivelo::texts::link {

const TextPair Silent{"No reply from the reader for %d ticks; still trying.", "读写器已连续 %d 次没有应答，仍在重试。"};
const TextPair Answers{"The reader answers again.", "读写器又有应答了。"};
const TextPair PortGone{"The reader's port %s is gone; the run stopped. Connect again.",
                        "读写器的端口 %s 已断开，运行已停止。请重新连接。"};

}  // namespace rivelo::texts::link
