#include "resources/texts_registry.h"

namespace rivelo::texts::registry {

const TextPair RunStarted{"Identity registry: ", "身份登记库："};
const TextPair Skipped{"Skipped %s: %s", "跳过 %s：%s"};
const TextPair LineSkipped{"Line %s skipped, %s: %s", "跳过第 %s 行，%s：%s"};
const TextPair TakenIssued{"issued on %s at %s", "已于 %s（%s）发放"};
const TextPair TakenReserved{"reserved by %s until %s", "已被 %s 预留至 %s"};
const TextPair TakenStop{"Taken in the identity registry, the run stopped: %s: %s",
                         "身份登记库中已被占用，写卡已停止：%s：%s"};
const TextPair TakenSingle{"Not written, taken in the identity registry: %s: %s", "没有写卡，身份登记库中已被占用：%s：%s"};
const TextPair Unreachable{"The identity registry could not be asked, nothing was written: ",
                           "无法访问身份登记库，没有写卡："};
const TextPair NotRecorded{"The identity registry did not record %s as issued (%s), the run stopped; "
                           "the tag on the reader carries it: put it aside",
                           "身份登记库未能登记 %s 为已发放（%s），写卡已停止；读卡器上的卡带有此号码：请将其取下放在一边"};
const TextPair LostToAnother{"its reservation ran out and another run holds it now", "预留已过期，另一写卡任务已占用"};

const TextPair MenuItem{"Identity registry(&I)...", "身份登记库(&I)..."};
const TextPair DialogTitle{"Identity registry", "身份登记库"};
const TextPair SqliteCaption{"SQLite file", "SQLite 文件"};
const TextPair PostgresCaption{"PostgreSQL URI", "PostgreSQL 地址"};
const TextPair Choose{"Choose...", "选择..."};
const TextPair Use{"Use", "使用"};
const TextPair NoRegistry{"No registry", "不用登记库"};
const TextPair Close{"Close", "关闭"};
const TextPair FilePrompt{"Identity registry (SQLite file)", "身份登记库（SQLite 文件）"};
const TextPair InUse{"Runs and writes take their identities from ", "写卡使用的身份登记库："};
const TextPair NoneInUse{"No identity registry: runs write what they are given", "未使用身份登记库：按输入写卡"};
const TextPair CountsHeader{"Identities it holds:", "登记的身份："};
const TextPair CannotOpen{"The identity registry cannot be opened: ", "不能打开身份登记库："};
const TextPair Empty{"none yet", "暂无"};
const TextPair CountLine{"%s: %s issued, %s reserved", "%s：已发放 %s，已预留 %s"};

}  // namespace rivelo::texts::registry
