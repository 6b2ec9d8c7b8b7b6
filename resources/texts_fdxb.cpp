#include "resources/texts_fdxb.h"

namespace rivelo::texts::fdxb {

const PageTexts& AtaPage() {
  static const PageTexts t{
      .national = "国内代码",
      .country = "国家代码",
      .trailer = "用户数据",
      .hex = "十六进制",
      .dec = "十进制",
      .options = "选项",
      .continuous = "连续的",
      .incremental = "递增的",
      .fromFile = "文件写",
      .read = "读卡",
      .write = "写卡",
      .fileOpened = "打开文件：",
      .fileLoaded = "总共有 %d 个卡号要写",
      .counted = "第 %d 个；",
      .numbered = "第 %d 个：",
      .numberedIncremental = "第 %d 个，国内代码为：",
      .stop = "停止",
      .exportStarted = "ID号保存在 ",
      .exportStartedEnd = " 文件中",
      .notConnected = "没有连接读写器",
      .writing = "写FDX-B（ISO11784/85）......",
      .reading = "读FDX-B（ISO11784/85）卡......",
      .folderPrompt = "请选择一个文件夹来保存ID号",
      .cannotOpen = "can not open file!",
      .writeOk = "写FDX-B（ISO11784/85）",
      .writeError = "写FDX-B（ISO11784/85）失败",
      .readResult = "读FDX-B（ISO11784/85）卡",
      .exportCannotCreate = "不能创建导出文件 ",
      .exportCannotWrite = "不能写入导出文件 ",
  };
  return t;
}

const PageTexts& Em4305Page() {
  static const PageTexts t{
      .national = "National",
      .country = "Country",
      .trailer = "Trailer",
      .hex = "Hex",
      .dec = "Dec",
      .options = "Options",
      .continuous = "continuous",
      .incremental = "increased",
      .fromFile = "from file",
      .read = "Read",
      .write = "Write",
      .fileOpened = "Open file：",
      .fileLoaded = "Tag count %d",
      .counted = "Number %d；",
      .numbered = "Number %d：",
      .numberedIncremental = "Number %d，country ID：",
      .stop = "stop",
      .exportStarted = "ID has exported to ",
      .exportStartedEnd = "",
      .notConnected = "No device connect",
      .writing = "Write FDX-B（ISO11784/85）......",
      .reading = "Read FDX-B（ISO11784/85）......",
      .folderPrompt = "Please select a folder to save ID",
      .cannotOpen = "can not open file!",
      .writeOk = "Write FDX-B（ISO11784/85）",
      .writeError = "Write FDX-B（ISO11784/85）error",
      .readResult = "Read FDX-B（ISO11784/85）",
      .exportCannotCreate = "Can not create the export file ",
      .exportCannotWrite = "Can not write the export file ",
  };
  return t;
}

const TextPair AnimalId{"Animal ID", "动物编号"};

}  // namespace rivelo::texts::fdxb
