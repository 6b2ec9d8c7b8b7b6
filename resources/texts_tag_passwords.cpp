#include "resources/texts_tag_passwords.h"

namespace rivelo::texts::tag_passwords {
const TextPair MenuItem{"Tag passwords...", "标签密码..."};
const TextPair Title{"Tag passwords", "标签密码"};
const TextPair Carried{"Password the tags carry:", "标签现有密码："};
const TextPair Given{"Password written tags get:", "写入后设置密码："};
const TextPair Note{"8 hex digits each; empty: none. Kept until the program ends, never saved.",
                    "各为8位十六进制数，留空为不用。只保留到程序退出，不会保存。"};
const TextPair Ok{"OK", "确定"};
const TextPair Cancel{"Cancel", "取消"};
const TextPair BadPassword{"A tag password is 8 hex digits, or empty for none.", "标签密码是8位十六进制数，留空为不用。"};
const TextPair InForce{"Tag passwords in force", "标签密码已生效"};
const TextPair NoneInForce{"No tag passwords in force", "未使用标签密码"};
const TextPair InForceLine{"Tag passwords in force: ", "标签密码生效："};
const TextPair CarriedPart{"the tags' password", "标签现有密码"};
const TextPair GivenPart{"a password for every tag written", "写入的标签设密码"};
const TextPair AndPart{"; ", "；"};
}  // namespace rivelo::texts::tag_passwords
