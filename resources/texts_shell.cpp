#include "resources/texts_shell.h"

#include "resources/language.h"

namespace rivelo {

const char* Text(const TextPair& text) { return Tr(text.english, text.chinese); }

namespace shell_text {

const TextPair WindowTitle{"Brisendor", "Corvane"};
const TextPair ConnectButton{"Conn Dev", "连接"};
const TextPair DisconnectButton{"Disc Dev", "断开"};
const TextPair TipLabel{"Tip", "提示"};
const TextPair NoDeviceConnect{"No device connect", "没有连接读写器"};
const TextPair DeviceConnectedText{"Device connected", "连接上了读写器"};
const TextPair ConnectError{"Connect device error, try again", "连接错误，请再试一次"};
const TextPair PortListError{"Open Regedit Error", "Open Regedit Error"};
const TextPair PortListErrorCaption{"ERROR", "ERROR"};
// What to do comes first, the command last: the field shows about 70 characters.
const TextPair PortPermissionHint{"No permission for %1: join group %2, log in again (sudo usermod -aG %2 $USER)",
                                  "无权打开 %1：请加入 %2 组并重新登录（sudo usermod -aG %2 $USER）"};
const TextPair PortPermissionNoGroup{"No permission for %1: the user needs read and write access to it",
                                     "无权打开 %1：用户需要它的读写权限"};

const TextPair FileMenu{"File(&F)", "File(&F)"};
const TextPair ExitItem{"Exit(&X)", "Exit(&X)"};
const TextPair CardMenu{"Card(&C)", "Card(&C)"};
const TextPair Em4100Item{"EM4100", "EM4100"};
const TextPair T5577Item{"T5577", "T5577"};
const TextPair HelpMenu{"Help(&H)", "Help(&H)"};
const TextPair AboutItem{"About(&A)...", "About Corvane(&A)..."};
const TextPair AboutCaption{"About", "关于 Corvane"};
const TextPair AboutProduct{"Brisendor Version %1", "Corvane %1 版"};  // %1: the version
const TextPair AboutOk{"OK", "确定"};

const char* const TabAta5567 = " ATA5567 ";
const char* const TabAtaEm4100 = " ID卡（EM4100） ";
const char* const TabFdxb = " FDX-B（ISO11784/85） ";
const char* const TabFdxa = " FDX-A（FECAVA） ";
const char* const TabHid = " HID兼容卡 ";
const char* const TabEm4305Em4100 = " ID（EM4100） ";
const char* const TabEm4305 = " EM4305 ";

const TextPair SimulationMenu{"Simulation(&S)", "模拟(&S)"};
const TextPair SimulationItem{"Virtual reader...", "虚拟读写器..."};
const TextPair SimWindowTitle{"Virtual reader", "虚拟读写器"};
const TextPair SimTagsBeside{"Tags", "卡片"};
const TextPair SimOnReader{"On the reader: %1", "读写器上：%1"};
const TextPair SimNothingOnReader{"(none)", "（无）"};
const TextPair SimPlace{"Put on reader", "放到读写器上"};
const TextPair SimTakeOff{"Take off", "拿开"};
const TextPair SimNewTag{"New tag", "新卡片"};
const TextPair SimKind{"Kind", "类型"};
const TextPair SimParameters{"Parameters", "参数"};
const TextPair SimCreate{"Create", "创建"};
const TextPair SimFeeder{"Blank-tag feeder", "空白卡送卡器"};
const TextPair SimCount{"Count", "数量"};
const TextPair SimDelay{"Delay (ms)", "延时（毫秒）"};
const TextPair SimFeederStart{"Start", "开始"};
const TextPair SimFeederLeft{"Left: %1", "剩余：%1"};
const TextPair SimBadTag{"Cannot create the tag: %1", "不能创建卡片：%1"};
const TextPair SimStartError{"The virtual reader could not be started", "虚拟读写器不能启动"};

}  // namespace shell_text
}  // namespace rivelo
