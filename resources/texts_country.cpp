#include "resources/texts_country.h"

namespace rivelo::texts::country {

const TextPair Manufacturer{"manufacturer code ", "制造商代码 "};
const TextPair Test{"test code ", "测试代码 "};
const TextPair Unknown{"unknown country code ", "未知国家代码 "};

}  // namespace rivelo::texts::country
