#include "resources/texts_fdxa.h"

namespace rivelo::texts::fdxa {

const char* const Group = "FDX-A";
const char* const Label = "FDX-A";
const char* const Read = "读";
const char* const Write = "写";
const char* const MessageCaption = "提示";
const char* const TenDigits = "请输入10位数据！";
const char* const ReadOk = "读FDX-A（FECAVA）卡";
const char* const ReadError = "读FDX-A（FECAVA）失败";
const char* const WriteOk = "写FDX-A（FECAVA）卡";
const char* const WriteError = "写FDX-A（FECAVA）失败";

}  // namespace rivelo::texts::fdxa
