#include "resources/texts_tag_result.h"

namespace rivelo::texts::tag_result {

const TextPair ReasonSeparator{": ", "："};
const TextPair HintSeparator{"; ", "；"};
const TextPair Refused{"the tag refused it, or no tag answered", "卡片拒绝了此操作，或没有卡片应答"};
const TextPair NotReadBack{"the tag does not read back what was written", "卡片读回的数据与写入的不同"};
const TextPair NoReply{"no valid reply from the reader", "读写器没有有效应答"};
const TextPair PortGone{"the reader's port is gone", "读写器的端口已断开"};
const TextPair NotSent{"nothing was sent", "未发送任何命令"};
const TextPair T5577PasswordProtected{"the chip may be password-protected: enter its password and use the buttons "
                                      "with password",
                                      "卡片可能有密码保护：请输入其密码并用有密码的按钮"};
const TextPair T5577Locked{"the block may be locked", "该块可能已锁定"};
const TextPair Em4305PasswordProtected{"the word may be protected, or the chip asks for a login: Login first",
                                       "该字可能已写保护，或卡片需要先登录：请先点 Login"};
const TextPair Em4305Locked{"the word may be protected", "该字可能已写保护"};
const TextPair LoginToRead{"the chip may ask for a login to read: Login first",
                           "卡片可能需要先登录才能读取：请先点 Login"};
const TextPair WrittenLoginToRead{"written, but the chip now asks for a login to read: Login to read it",
                                  "已写入，但卡片现在需要登录才能读取：请先点 Login 再读"};
const TextPair WordReason{"word %d, ", "字 %d，"};

}  // namespace rivelo::texts::tag_result
