#include "resources/texts_run.h"

namespace rivelo::texts::run {

const TextPair Refused{"This tag refused %s (%s); put it aside. Refused tags: %s",
                       "此卡拒绝写入 %s（%s），请将其放到一边。拒写卡数：%s"};
const TextPair ReasonLocked{"it keeps its identity: it may be locked",
                            "卡号未变：可能已锁定"};
const TextPair ReasonProtected{"it reads as blank: it may be password-protected or not a writable chip",
                               "读出为空白卡：可能有密码保护或不是可写的芯片"};
const TextPair WriteSummary{
    "Run summary: %s written, %s refused, %s left alone as written earlier, %s ticks without a valid reply, "
    "%s s, %s tags per minute",
    "运行小结：已写 %s 张，拒写 %s 张，%s 张为本次先前所写而未改动，%s 次没有有效应答，用时 %s 秒，每分钟 %s 张"};
const TextPair ReadSummary{"Run summary: %s read, %s ticks without a valid reply, %s s, %s tags per minute",
                           "运行小结：已读 %s 张，%s 次没有有效应答，用时 %s 秒，每分钟 %s 张"};
const TextPair ExportReason{" (%s)", "（%s）"};
const TextPair ExportStopped{"The export file could not be written %s times in a row; the run stopped.",
                             "导出文件连续 %s 次写入失败，读卡已停止。"};

}  // namespace rivelo::texts::run
