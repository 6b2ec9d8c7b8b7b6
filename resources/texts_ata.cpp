#include "resources/texts_ata.h"

namespace rivelo::texts::ata {

const char* const Parameters = "参数";
const char* const Memory = "卡片存储结构";
const char* const Operate = "操作卡片（先填好参数）";
const char* const PageLabel = "页地址";
const char* const BlockLabel = "块地址";
const char* const LockLabel = "锁定";
const char* const PasswordLabel = "密码";
const char* const NoLock = "不锁";
const char* const Lock = "上锁";
const char* const ManRf32 = "   MAN RF/32";
const char* const ManRf64 = "   MAN RF/64";
const char* const BlockCaption = "块 %d";

const char* const ReadButton = "读卡";
const char* const WriteButton = "写卡";
const char* const ReadPwdButton = "读卡（有密码）";
const char* const WritePwdButton = "写卡（有密码）";
const char* const ReadPageButton = "整页读";
const char* const WakeButton = "唤醒卡片";
const char* const ResetButton = "复位卡片";
const char* const InitButton = "初始化配置块（块0）";

const char* const Tip = "提示";
const char* const Warning = "警告";
const char* const EnterPassword = "请输入8位数的密钥，即块7的数据！";
const char* const EnterBlock = "请在块 %d 输入 8 位数据";
const char* const LockQuestion = "确定锁定卡片数据，以后不再更改？";
const char* const Block0Warning = "块0是卡片配置块，此操作将可能破坏卡片！";
const char* const FactoryWarning = "此操作将会把卡片恢复到出厂设置！";

const TextPair Block0Unreadable{
    "The reader reads blocks back only in Manchester at RF/32 or RF/64 and bi-phase at RF/32: this write cannot "
    "be checked, and the blocks will no longer read (the tag can still be written).",
    "读卡器只能读回 Manchester RF/32、RF/64 和双相 RF/32 的数据块：此次写入无法校验，之后也读不出数据块（仍可写卡）。"};
const TextPair Block0PasswordUnknown{
    "Password mode without a password given: from then on the chip reads and writes only with the password in "
    "block 7; without it the tag cannot be changed again.",
    "未给出密码却开启密码模式：此后必须使用块7中的密码才能读写卡片，没有密码将无法再修改此卡。"};
const TextPair Block0AnswerOnRequest{
    "Answer on request: the tag then stays silent until woken with its password; no reader reads it on its own.",
    "唤醒应答（AOR）：此后卡片保持静默，须用密码唤醒；读卡器无法直接读到。"};
const char* const ReadOk = "读卡";
const char* const ReadFailed = "读卡失败";
const char* const ReadPwdOk = "读卡（有密码）";
const char* const WriteOk = "写卡";
const char* const WriteFailed = "写卡失败";
const char* const WritePwdOk = "写卡（有密码）";
const char* const PageOk = "整页读";
const char* const PageFailed = "整页读失败";
const char* const WakeOk = "唤醒卡片";
const char* const WakeFailed = "唤醒失败";
const char* const ResetOk = "复位卡片";
const char* const ResetFailed = "复位失败";
const char* const InitOk = "复位成功";
const char* const InitFailed = "检查有没有连接读写器或者卡片错误";
const char* const Rf32Mode = "Manchester RF/32模式";
const char* const Rf64Mode = "Manchester RF/64模式";
const char* const ModeFailed = "设置失败，可能没有连接读写器";

const TextPair Block0Heading{"Block 0 %1:", "块 0 %1："};
const TextPair ModulationLine{"Modulation: %1", "调制方式：%1"};
const TextPair DataRateLine{"Data rate: %1", "数据速率：%1"};
const TextPair ExtendedRate{"extended mode", "扩展模式"};
const TextPair MaxBlockLine{"MAXBLK: %1", "最大块（MAXBLK）：%1"};
const TextPair PasswordLine{"Password mode: %1", "密码模式：%1"};
const TextPair AnswerOnRequestLine{"Answer on request (AOR): %1", "唤醒应答（AOR）：%1"};
const TextPair TerminatorLine{"Sequence terminator: %1", "序列终止符：%1"};
const TextPair LayoutLine{"Layout: %1", "格式：%1"};
const TextPair On{"on", "开"};
const TextPair Off{"off", "关"};
const TextPair Reserved{"reserved", "保留值"};
const TextPair LayoutNone{"none known", "未知"};
const TextPair LayoutEm4100{"EM4100", "EM4100"};
const TextPair LayoutFdxb{"FDX-B", "FDX-B"};
const TextPair LayoutHidFdxa{"HID 26-bit or FDX-A", "HID 26位或 FDX-A"};
const TextPair LayoutFactory{"factory configuration", "出厂配置"};
const char* const ModulationNames[12] = {"direct", "PSK1", "PSK2", "PSK3", "FSK1", "FSK2",
                                         "FSK1a", "FSK2a", "Manchester", "bi-phase", "bi-phase ('57)", nullptr};

}  // namespace rivelo::texts::ata
