#include "image/joined.h"

namespace ccp {

std::string joined(std::span<const std::string> texts, std::string_view separator) {
  std::string text;
  for (const std::string& each : texts) {
    if (&each != texts.data()) text += separator;
    text += each;
  }
  return text;
}

}  // namespace ccp
