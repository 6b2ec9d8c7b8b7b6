#include "resources/texts_em4100.h"

namespace rivelo::texts::em4100 {

const TextPair EnterBox{"Kb Out \"Enter\"", "输出回车键"};
const TextPair KeyboardOut{"Keyboard Out", "仿键盘输出"};
const TextPair Write{"Write", "写卡"};
const TextPair Read{"Read", "读卡"};
const TextPair Continuously{"continuously", "连续写卡"};
const TextPair Incrementally{"incrementally", "卡号递增"};
const TextPair FromFile{"from file", "文件写"};
const TextPair LockCard{"lock card", "锁卡"};
const TextPair Options{"Options", "选项"};
const TextPair Stop{"Stop", "停止"};

const TextPair FileOpened{"Open file：", "打开文件："};
const TextPair FileLoaded{"Tag count %d", "总共有 %d 个卡片要写"};
const TextPair Counted{"Number %d;", "计数统计： %d;"};
const TextPair Numbered{"Number %d：", "第 %d："};
const TextPair StopLine{"stop", "停止"};
const TextPair ExportStarted{"ID has exported to ", "ID号导到 "};

const TextPair NotConnected{"No device connect", "没有连接读写器"};
const TextPair Writing{"Write ID（EM4100）......", "写ID（EM4100）卡......"};
const TextPair Reading{"Read ID（EM4100）......", "读ID（EM4100）卡......"};
const TextPair FolderPrompt{"Please select a folder to save ID", "请选择一个目录来保存ID号"};
const TextPair FolderCancelled{"Please select a folder to save ID", "请选择一个目录用来保存ID号"};
const TextPair CannotOpen{"can not open file!", "不能打开文件！"};
const TextPair WriteOk{"Write ID（EM4100）OK", "写ID（EM4100）卡OK"};
const TextPair WriteError{"Write ID（EM4100）error", "写ID（EM4100）卡没有成功"};
const TextPair ReadOk{"Read ID（EM4100）OK", "读ID（EM4100）卡OK"};
const TextPair ReadError{"Read ID（EM4100）error", "没有读到ID（EM4100）卡"};
const TextPair ExportCannotCreate{"Can not create the export file ", "不能创建导出文件 "};
const TextPair ExportCannotWrite{"Can not write the export file ", "不能写入导出文件 "};

const TextPair Tip{"Tip", "提示"};
const TextPair Warning{"Warning", "警告"};
const TextPair LockWarning{"The card can't be changed when lock!", "卡片锁住之后就不能再修改了！"};

const TextPair KeyboardStarted{"Simulate keyboard out...", "仿键盘输出......"};
const TextPair KeyboardStopped{"Stop simulate keyboard out", "停止仿键盘输出"};
const TextPair KeyboardUnavailable{"Keyboard out is not possible here: ", "此处不能仿键盘输出："};
const TextPair NoXDisplay{"no X display (DISPLAY is not set)", "没有X显示（未设置DISPLAY）"};
const TextPair WaylandOnly{"a Wayland session without X11 accepts no injected keys",
                           "没有X11的Wayland会话不接受模拟按键"};
const TextPair CannotOpenDisplay{"the X display cannot be opened", "无法打开X显示"};
const TextPair NoXTest{"the X server has no XTEST extension", "X服务器没有XTEST扩展"};
const TextPair NoInjectionBuilt{"this build has no key injection", "此版本没有模拟按键功能"};

const char* const TabCaption = " ID（EM4100） ";

}  // namespace rivelo::texts::em4100
