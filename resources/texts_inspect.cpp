#include "resources/texts_inspect.h"

namespace rivelo::texts::inspect {

const TextPair MenuItem{"Inspect tag(&I)...", "识别卡片(&I)..."};
const TextPair Title{"Inspect tag", "识别卡片"};
const TextPair PasswordCaption{"Password", "密码"};
const TextPair InspectButton{"Inspect", "识别"};
const TextPair NotConnected{"No reader is connected.", "未连接读卡器。"};
const TextPair ReadFailed{"The tag could not be read: no valid reply from the reader.", "读卡失败：读卡器无有效应答。"};
const TextPair BadPassword{"The password is 8 hex digits, or empty.", "密码为8位十六进制数，或留空。"};
const TextPair Chip{"Chip: ", "芯片："};
const TextPair ReadOnly{"a read-only tag", "只读卡"};
const TextPair NoTag{"No tag answered (a T5577 in answer-on-request mode stays silent until woken with its password).",
                     "没有卡片应答（应答请求模式的T5577须用密码唤醒）。"};
const TextPair Configuration{"Configuration: ", "配置："};
const TextPair NoPassword{"Password: none", "密码：无"};
const TextPair Protected{"Password-protected", "有密码保护"};
const TextPair NeedsPassword{"Its memory reads only with the password: enter it.", "须输入密码才能读取存储区。"};
const TextPair Refused{"The chip refused the password.", "卡片拒绝了此密码。"};
const TextPair WokenAor{"Answer on request: woken with the password.", "应答请求模式：已用密码唤醒。"};
const TextPair Uid{"UID: ", "UID："};
const TextPair Locked{"Locked: ", "锁定："};
const TextPair LocksUnknown{"not known (a T5577's lock bits do not read)", "未知（T5577的锁定位无法读取）"};
const TextPair NoneLocked{"none", "无"};
const TextPair Words{"words", "字"};
const TextPair Blank{"Blank: factory configuration, no data.", "空白卡：出厂配置，无数据。"};
const TextPair Identity{"Identity: ", "卡号："};
const TextPair NoIdentity{"none the reader knows", "无读卡器可识别的卡号"};
const TextPair FromReader{" (read by the reader)", "（读卡器读出）"};
const TextPair FromBlocks{" (from the blocks)", "（由数据块解出）"};
const TextPair Block{"Block ", "块 "};
const TextPair Word{"Word ", "字 "};
const TextPair Sends{"Sends block ", "发送块 "};
const TextPair PasswordHidden{"(the password, not shown)", "（密码，不显示）"};
const TextPair NotRead{"not read", "未读出"};
const TextPair NoBackup{"No backup of the tag could be made (it may not read without its password). Go on anyway?",
                        "无法备份此卡（可能需要密码才能读取）。仍然继续？"};


}  // namespace rivelo::texts::inspect
