#include "resources/texts_ata_em4100.h"

namespace rivelo::texts::ata_em4100 {

const char* const Hex10 = "10H";
const char* const Dec13 = "08H---10D";
const char* const Dec06 = "06H---10D";
const char* const Split = "02H + 04H";
const char* const Write = "写卡";
const char* const Read = "读卡";
const char* const Continuously = "连续的";
const char* const Incrementally = "递增的";
const char* const FromFile = "文件写";
const char* const Options = "选项";

const char* const FileOpened = "打开文件：";
const char* const FileLoaded = "总共有 %d 条ID要写";
const char* const Counted = "第 %d 个；";
const char* const Numbered = "第 %d 个：";
const char* const StopLine = "停止";
const char* const ExportStarted = "ID号保存在 ";
const char* const ExportStartedEnd = " 文件中";

const char* const NotConnected = "没有连接读写器";
const char* const Writing = "写ID（EM4100）卡......";
const char* const Reading = "读ID（EM4100）卡......";
const char* const FolderPrompt = "请选择一个文件夹来保存ID号";
const char* const FolderCancelled = "请选择一个文件夹来保存ID号";
const char* const CannotOpen = "can not open file!";
const char* const WriteOk = "写ID（EM4100）卡";
const char* const WriteError = "写ID（EM4100）卡失败";
const char* const ReadOk = "读ID（EM4100）卡";
const char* const ReadError = "读ID（EM4100）卡失败";

const char* const ExportCannotCreate = "不能创建导出文件 ";
const char* const ExportCannotWrite = "不能写入导出文件 ";

}  // namespace rivelo::texts::ata_em4100
