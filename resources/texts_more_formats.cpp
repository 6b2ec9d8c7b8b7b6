#include "resources/texts_more_formats.h"

#include <cstring>

namespace rivelo::texts::more_formats {
namespace {

struct Caption {
  const char* name;
  TextPair text;
};

const Caption Captions[] = {
    {"facility", {"Facility code", "设施码"}},
    {"card", {"Card number", "卡号"}},
    {"company", {"Company ID", "公司码"}},
    {"version", {"Version", "版本号"}},
    {"id", {"ID", "ID号"}},
    {"oem", {"OEM code", "OEM码"}},
    {"year", {"Year", "年份"}},
    {"code", {"Code", "代码"}},
};

}  // namespace

const TextPair Tab{" More formats ", " 更多格式 "};
const TextPair Format{"Format:", "格式："};

const TextPair* FieldCaption(const char* name) {
  for (const Caption& c : Captions)
    if (std::strcmp(c.name, name) == 0) return &c.text;
  return nullptr;
}

const TextPair Range{"%1 to %2", "%1～%2"};
const TextPair HexRange{"hex %1 to %2", "十六进制 %1～%2"};
const TextPair FieldMissing{"\"%1\": enter a value from %2.", "“%1”：请填入 %2 的数。"};
const TextPair MessageCaption{"Note", "提示"};
const TextPair Write{"Write", "写卡"};
const TextPair Read{"Read", "读卡"};
const TextPair Continuously{"continuously", "连续写卡"};
const TextPair Incrementally{"incrementally", "卡号递增"};
const TextPair FromFile{"from file", "文件写"};
const TextPair Options{"Options", "选项"};
}  // namespace rivelo::texts::more_formats
