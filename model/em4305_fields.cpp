#include "model/em4305_fields.h"

#include <cstdint>
#include <vector>

namespace rivelo {
namespace {

std::uint64_t ValueOf(const std::vector<std::uint8_t>& bytes) {
  std::uint64_t v = 0;
  for (std::uint8_t b : bytes) v = (v << 8) | b;
  return v;
}

// A decimal field's value for the identity: its bytes through AlignRight5.
Em4100Id IdOfDecimal(const std::string& text) { return AlignRight5(DecimalTextToBytes(text, TextMode::Field).value_or(Bytes{})); }

}  // namespace

int Em4305FieldLength(Em4305Field field) {
  switch (field) {
    case Em4305Field::Box02: return 3;
    case Em4305Field::Box04: return 5;
    default: return 10;
  }
}

Em4305Fields Em4305FieldsOf(const Em4100Id& id) {
  return {FormatHex(id), FormatDecimal(id.data() + 1, 4, 10), FormatDecimal(id.data() + 2, 3, 10),
          FormatDecimal(id.data() + 2, 1, 3), FormatDecimal(id.data() + 3, 2, 5)};
}

Em4305Mirror MirrorEm4305Fields(Em4305Field changed, const Em4305Fields& current) {
  Em4305Mirror result{current, std::nullopt, Em4305Field::Box02};
  Em4305Fields& f = result.fields;
  auto writeAllBut = [&](const Em4100Id& id) {
    const Em4305Fields shown = Em4305FieldsOf(id);
    if (changed != Em4305Field::Hex10) f.hex10 = shown.hex10;
    if (changed != Em4305Field::Dec08H) f.dec08 = shown.dec08;
    if (changed != Em4305Field::Dec06H) f.dec06 = shown.dec06;
    if (changed != Em4305Field::Box02 && changed != Em4305Field::Box04) {
      f.box02 = shown.box02;
      f.box04 = shown.box04;
    }
  };
  auto emptyAllBut = [&] {
    if (changed != Em4305Field::Hex10) f.hex10.clear();
    if (changed != Em4305Field::Dec08H) f.dec08.clear();
    if (changed != Em4305Field::Dec06H) f.dec06.clear();
    if (changed != Em4305Field::Box02 && changed != Em4305Field::Box04) {
      f.box02.clear();
      f.box04.clear();
    }
  };

  switch (changed) {
    case Em4305Field::Hex10:
      if (current.hex10.empty()) emptyAllBut();
      else writeAllBut(AlignRight5(HexTextToBytes(current.hex10, TextMode::Field).value_or(Bytes{})));
      break;
    case Em4305Field::Dec08H:
    case Em4305Field::Dec06H: {
      const std::string& text = changed == Em4305Field::Dec08H ? current.dec08 : current.dec06;
      if (text.empty()) emptyAllBut();
      else writeAllBut(IdOfDecimal(text));
      break;
    }
    case Em4305Field::Box02:
    case Em4305Field::Box04: {
      if (current.box02.empty() && current.box04.empty()) {
        emptyAllBut();
        break;
      }
      const auto b = DecimalTextToBytes(current.box02, TextMode::Field).value_or(Bytes{});
      const auto cd = DecimalTextToBytes(current.box04, TextMode::Field).value_or(Bytes{});
      // The 02H box is tested first; both are tested whichever changed.
      if (b.size() > 1) {
        result.limitMessage = current.box02 + " > 255";
        result.focus = Em4305Field::Box02;
        result.fields = current;
        break;
      }
      if (cd.size() > 2) {
        result.limitMessage = current.box04 + " > 65535";
        result.focus = Em4305Field::Box04;
        result.fields = current;
        break;
      }
      const std::uint64_t low = ValueOf(cd);
      const Em4100Id id{0, 0, b.empty() ? std::uint8_t{0} : b[0], static_cast<std::uint8_t>(low >> 8),
                        static_cast<std::uint8_t>(low & 0xFF)};
      writeAllBut(id);
      break;
    }
  }
  return result;
}

}  // namespace rivelo
