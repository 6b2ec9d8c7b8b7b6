#include "resources/texts_hid.h"

namespace rivelo::texts::hid {

const char* const Group = "HID 26 bits";
const char* const HexRow = "16进制";
const char* const DecRow = "10进制";
const char* const Read = "读";
const char* const Write = "写";
const char* const MessageCaption = "提示";
const char* const FacilityRange = "请在第 1 个空格填入一个0~255的数";
const char* const CardRange = "请在第 2 个空格填入一个0~65535的数";
const char* const ReadOk = "读 HID 卡";
const char* const ReadError = "读 HID 失败";
const char* const WriteOk = "写 HID 卡";
const char* const WriteError = "写 HID 失败，看看是否连接了读写器";

const TextPair Frame{"26 bits, parity computed:", "26位（校验位为计算值）："};

}  // namespace rivelo::texts::hid
