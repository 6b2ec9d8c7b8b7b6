#include "model/em4100.h"
#include "model/fdxb.h"
#include "model/identity.h"

namespace rivelo {

std::optional<std::size_t> FindForm(const IdentityFormat& format, std::string_view key) {
  for (std::size_t i = 0; i < format.forms.size(); ++i)
    if (key == format.forms[i].key) return i;
  return std::nullopt;
}

const std::vector<const IdentityFormat*>& IdentityFormats() {
  static const std::vector<const IdentityFormat*> formats{&Em4100Format(), &FdxbFormat()};
  return formats;
}

const IdentityFormat* FindFormat(std::string_view name) {
  for (const IdentityFormat* f : IdentityFormats())
    if (name == f->name) return f;
  return nullptr;
}

}  // namespace rivelo
