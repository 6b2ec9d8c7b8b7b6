#include "model/t5577_em4100_fields.h"

#include <optional>

namespace rivelo {
namespace {

// The identity a 13-digit text stands for; nullopt for an empty text.
std::optional<Em4100Id> IdOfDec13(const std::string& text) {
  const Bytes bytes = DecimalTextToBytes(text, TextMode::Field).value_or(Bytes{});
  if (bytes.empty()) return std::nullopt;
  if (bytes.size() > Em4100IdLength) return Em4100Id{0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  return AlignRight5(bytes);
}

}  // namespace

int T5577Em4100FieldLength(T5577Em4100Field field) { return field == T5577Em4100Field::Hex10 ? 10 : 13; }

T5577Em4100Fields T5577Em4100FieldsOf(const Em4100Id& id) {
  return {FormatHex(id), Em4100FormText(id, Em4100Form::Dec13), Em4100FormText(id, Em4100Form::Dec06H),
          FormatDecimal(id.data() + 2, 1, 3) + "," + FormatDecimal(id.data() + 3, 2, 5)};
}

T5577Em4100Fields MirrorT5577Em4100Fields(T5577Em4100Field changed, const T5577Em4100Fields& current) {
  T5577Em4100Fields f = current;
  f.dec06.clear();
  f.split.clear();
  if (changed == T5577Em4100Field::Hex10) {
    if (current.hex10.empty()) f.dec13.clear();
    else f.dec13 = Em4100FormText(AlignRight5(HexTextToBytes(current.hex10, TextMode::Field).value_or(Bytes{})),
                                  Em4100Form::Dec13);
  } else {
    const std::optional<Em4100Id> id = IdOfDec13(current.dec13);
    if (id) f.hex10 = FormatHex(*id);
    else f.hex10.clear();
  }
  return f;
}

std::string T5577Em4100ListText(const std::string& dec13, const Em4100Id& written) {
  // Exactly that value in plain digits: a clamped or wrapped text names another identity.
  const std::optional<Bytes> shown = DecimalTextToBytes(dec13, TextMode::Strict);
  const bool names = shown && !shown->empty() && shown->size() <= Em4100IdLength && AlignRight5(*shown) == written;
  return names ? dec13 : Em4100FormText(written, Em4100Form::Dec13);
}

}  // namespace rivelo
