#include "cli/chip_words.h"

#include <cstdio>

#include "cli/json_lines.h"
#include "model/em4305_config.h"
#include "model/t5577_block0.h"

namespace rivelo::cli {
namespace {

const char* ModulationName(T5577Modulation m) {
  static const char* const names[] = {"direct", "PSK1", "PSK2",       "PSK3",    "FSK1",       "FSK2",
                                      "FSK1a",  "FSK2a", "Manchester", "bi-phase", "bi-phase 57", "reserved"};
  return names[static_cast<int>(m)];
}

const char* LayoutName(T5577Layout layout) {
  switch (layout) {
    case T5577Layout::Em4100: return "EM4100";
    case T5577Layout::Fdxb: return "FDX-B";
    case T5577Layout::HidOrFdxa: return "HID 26-bit or FDX-A";
    case T5577Layout::Factory: return "factory configuration";
    case T5577Layout::None: break;
  }
  return "none known";
}

std::string OnOff(bool on) { return on ? "on" : "off"; }
std::string YesNo(bool on) { return on ? "yes" : "no"; }

}  // namespace

std::string Hex8(std::uint32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", value);
  return text;
}

std::string T5577Block0Words(std::uint32_t block0) {
  const T5577Block0 b = DecodeT5577Block0(block0);
  const std::string rate = b.extendedMode ? "extended mode" : "RF/" + std::to_string(b.dataRate);
  return "  modulation          " + std::string(ModulationName(b.modulation)) + "\n" +
         "  data rate           " + rate + "\n" +
         "  max block           " + std::to_string(b.maxBlock) + "\n" +
         "  password            " + OnOff(b.passwordMode) + "\n" +
         "  answer on request   " + OnOff(b.answerOnRequest) + "\n" +
         "  sequence terminator " + OnOff(b.sequenceTerminator) + "\n" +
         "  identity layout     " + LayoutName(b.layout) + "\n";
}

std::string T5577Block0Warnings(std::uint32_t block0, bool passwordKnown) {
  const T5577Block0 b = DecodeT5577Block0(block0);
  std::string text;
  if (!ReaderReadsBlocks(b)) {
    const std::string rate = b.extendedMode ? "extended mode" : "RF/" + std::to_string(b.dataRate);
    text += "  The reader reads blocks back only in Manchester at RF/32 or RF/64 and bi-phase at RF/32, not " +
            std::string(ModulationName(b.modulation)) + " at " + rate +
            ": this write cannot be checked and the blocks no longer read (the tag can still be written).\n";
  }
  if (b.passwordMode && !passwordKnown)
    text += "  Password mode without --password: from then on the chip reads and writes only with the password in "
            "block 7; without it the tag cannot be changed again.\n";
  if (b.answerOnRequest)
    text += "  Answer on request: the tag then stays silent until woken with its password (t5577 wake); no reader "
            "reads it on its own.\n";
  return text;
}

std::string Em4305ConfigWords(std::uint32_t word4) {
  const Em4305Config c = DecodeEm4305Config(word4);
  const std::string encoder = c.encoder == Em4305Encoder::Manchester ? "Manchester"
                              : c.encoder == Em4305Encoder::Biphase  ? "bi-phase"
                                                                     : "other (" + std::to_string(c.encoderBits) + ")";
  return "  data rate           RF/" + std::to_string(c.dataRate) + "\n" +
         "  encoder             " + encoder + "\n" +
         "  last read word      " + std::to_string(c.lastReadWord) + "\n" +
         "  login to read       " + YesNo(c.readLogin) + "\n" +
         "  login to write      " + YesNo(c.writeLogin) + "\n" +
         "  disable allowed     " + YesNo(c.disableAllowed) + "\n" +
         "  reader talks first  " + YesNo(c.readerTalksFirst) + "\n";
}

std::string T5577Block0Json(std::uint32_t block0) {
  const T5577Block0 b = DecodeT5577Block0(block0);
  JsonObject o;
  o.Text("modulation", ModulationName(b.modulation));
  if (b.extendedMode) {
    o.Null("dataRate");
  } else {
    o.Number("dataRate", b.dataRate);
  }
  return o.Bool("extendedMode", b.extendedMode)
      .Number("maxBlock", b.maxBlock)
      .Bool("password", b.passwordMode)
      .Bool("answerOnRequest", b.answerOnRequest)
      .Bool("sequenceTerminator", b.sequenceTerminator)
      .Text("layout", LayoutName(b.layout))
      .Str();
}

std::string Em4305ConfigJson(std::uint32_t word4) {
  const Em4305Config c = DecodeEm4305Config(word4);
  const char* encoder = c.encoder == Em4305Encoder::Manchester ? "Manchester"
                        : c.encoder == Em4305Encoder::Biphase  ? "bi-phase"
                                                               : "other";
  return JsonObject()
      .Number("dataRate", c.dataRate)
      .Text("encoder", encoder)
      .Number("lastReadWord", c.lastReadWord)
      .Bool("readLogin", c.readLogin)
      .Bool("writeLogin", c.writeLogin)
      .Bool("disableAllowed", c.disableAllowed)
      .Bool("readerTalksFirst", c.readerTalksFirst)
      .Str();
}

}  // namespace rivelo::cli
