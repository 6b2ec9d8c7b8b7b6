#include "resources/texts_em4305.h"

namespace rivelo::texts::em4305 {

const char* const WordCaptions[16] = {
    "Word 0",  "(UID)Word 1", "(PWD)Word 2", "Word 3",  "(CON)Word 4", "Word 5",      "Word 6",      "Word 7",
    "Word  8", "Word  9",     "Word 10",     "Word 11", "Word 12",     "Word 13",     "(P1)Word 14", "(P2)Word 15"};
const char* const Eeprom = "EEPROM";
const char* const ConfigureDevice = "Configure Device";
const char* const OperateCard = "Operate Card";
const char* const ModeEm4100 = "ID(EM4100)";
const char* const ModeFdxb = "FDX-B(ISO11784/85)";
const char* const ReadItem = "Read";
const char* const ReadWordItem = "Read Word %d";
const char* const WriteButton = "Write";
const char* const DisableButton = "Disable";
const char* const ProtectButton = "Protect";
const char* const LoginButton = "Login";

const char* const Tip = "Tip";
const char* const CannotWrite = "UID，Prote 1，Prote 2 can't write";
const char* const FormatError = "Data format error";
const char* const PasswordChanged = "Password has changed, please remember";
const char* const LoginFirst = "Please login and then change";
const char* const ConfigQuestion = "Do you want to modify configuration word?";
const TextPair DisableQuestion{"Disable the card? A disabled card no longer answers the reader.",
                               "确定禁用卡片？禁用后卡片不再应答读卡器。"};

const char* const Modified = "modify ：";
const char* const ModifiedWord = "%d，";
const char* const NothingChanged = "No word has be changed";
const char* const ReadOk = "Read Word %d";
const char* const ReadFailed = "Read Word %d error";
const char* const PasswordUnreadable = "Word 2 is password，can't read";
const char* const LoginOk = "Login";
const char* const LoginFailed = "Password error";
const char* const DisableOk = "Disable card";
const char* const DisableFailed = "Disable error，maybe not set disable bit";
const char* const IdMode = "ID mode";
const char* const FdxbMode = "FDX-B(ISO11784/85) mode";
const char* const ModeFailed = "Configure error，maybe no device connect";

const char* const LockCaptions[15] = {"Word 0",  "Word 1",  "Word 2",  "Word 3",  "Word 4",
                                      "Word 5",  "Word 6",  "Word 7",  "Word 8",  "Word 9",
                                      "Word 10", "Word 11", "Word 12", "Word 13", "Word 14/15"};
const char* const LockTitle = "锁卡";
const char* const LockedNow = "当前已锁块";
const char* const LockButton = "锁卡";
const char* const LockTip = "提示";
const char* const LockQuestion = "您将锁定：";
const char* const LockedNowStatus = "获取当前锁定块";
const char* const LockStatus = "锁卡";

const TextPair ConfigHeading{"Configuration word %1", "配置字 %1"};
const TextPair DataRateLine{"Data rate: %1", "数据速率：%1"};
const TextPair EncoderLine{"Encoder: %1", "编码：%1"};
const TextPair Manchester{"Manchester", "曼彻斯特"};
const TextPair Biphase{"bi-phase", "双相"};
const TextPair OtherEncoder{"unknown (%1)", "未知（%1）"};
const TextPair DefaultReadLine{"Default read: words 5 to %1", "默认读出：字 5 至 %1"};
const TextPair DefaultReadNone{"Default read: none (last word %1)", "默认读出：无（末字 %1）"};
const TextPair ReadLoginLine{"Read login: %1", "读需登录：%1"};
const TextPair WriteLoginLine{"Write login: %1", "写需登录：%1"};
const TextPair DisableLine{"Disable allowed: %1", "允许禁用：%1"};
const TextPair ReaderFirstLine{"Reader talks first: %1", "读卡器先发：%1"};
const TextPair Yes{"yes", "是"};
const TextPair No{"no", "否"};

}  // namespace rivelo::texts::em4305
