// The country of an FDX-B identity as the operator reads it, in the current language: the
// country's name, or what a manufacturer, test or unknown code stands for.
#pragma once

#include <string>

namespace rivelo {

std::string CountryText(int code);

}  // namespace rivelo
