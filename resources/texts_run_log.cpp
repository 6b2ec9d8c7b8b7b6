#include "resources/texts_run_log.h"

namespace rivelo::texts::run_log {

const TextPair MenuItem{"Run log(&L)...", "写卡日志(&L)..."};
const TextPair FolderPrompt{"Folder for the run log", "选择写卡日志的文件夹"};
const TextPair FolderChosen{"Write runs are logged in ", "写卡记录保存在 "};
const TextPair Started{"Run log: ", "写卡日志："};
const TextPair CannotOpen{"The run log cannot be opened, nothing was written: ", "不能打开写卡日志，没有写卡："};
const TextPair NotInLog{" is not in the run log", " 未记入写卡日志"};
const TextPair CannotWrite{"The run log cannot be written, the run stopped: ", "不能写入写卡日志，写卡已停止："};

}  // namespace rivelo::texts::run_log
