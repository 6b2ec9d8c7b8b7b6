#include "resources/texts_batch.h"

namespace rivelo::texts::batch {

const TextPair CannotOpen{"The batch file cannot be opened: ", "不能打开批量文件："};
const TextPair ReadError{"The batch file cannot be read: ", "不能读取批量文件："};
const TextPair NotAFile{"This is not a batch file but a folder, pipe or device.", "这不是批量文件，而是目录、管道或设备。"};
const TextPair TooLarge{"The batch file is larger than 64 MiB.", "批量文件大于64 MiB。"};
const TextPair Utf16{"The batch file is in UTF-16. Save it as UTF-8 or ANSI text.",
                     "批量文件是UTF-16编码，请另存为UTF-8或ANSI文本。"};
const TextPair NoIdentities{"no identities in ", "批量文件中没有任何标识："};
const TextPair Binary{"The batch file is not a text file (it holds NUL bytes).", "批量文件不是文本文件（含有NUL字节）。"};
const TextPair BadLine{"Line %d of the batch file is not an identity: \"", "批量文件第 %d 行不是卡号：\""};
const TextPair NotANumber{"not a decimal number", "不是十进制数"};
const TextPair Negative{"a negative number", "负数"};
const TextPair TrailingText{"text after the digits", "数字后面有其他字符"};
const TextPair ValueTooLarge{"too large for this format", "超出此格式的范围"};
const TextPair PartLine{"neither a whole line nor a national code alone", "既不是完整的一行，也不是单独的国内代码"};
const TextPair WrongLength{"The identity has the wrong length; nothing was written.", "卡号长度不对，没有写卡。"};
const TextPair LeftAlone{"Written earlier in this run (number %d), left alone: ",
                        "本次已写过的卡（第 %d 个），不再写入："};
const TextPair ResumeQuestion{
    "The last run of this file stopped before line %d.\n\n"
    "Yes: go on from line %d.\nNo: start again from the first line.\nCancel: write nothing now.",
    "上次按此文件写卡停在第 %d 行之前。\n\n是：从第 %d 行继续。\n否：从第一行重新开始。\n取消：现在不写卡。"};
const TextPair GoingOn{"Going on from line %d of the file", "从文件第 %d 行继续"};

}  // namespace rivelo::texts::batch
