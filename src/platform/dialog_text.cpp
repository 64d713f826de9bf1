#include "platform/dialog_text.h"

namespace platform {

std::string ToDisplayLineBreaks(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (std::string::size_type i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      continue;
    }
    result += text[i];
  }
  return result;
}

bool LacksExtension(const std::string& path) {
  const std::string::size_type slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return !name.empty() && name.find('.') == std::string::npos;
}

std::string TrimFilter(const std::string& filter) {
  std::string result = filter;
  while (!result.empty() && result.back() == '|') {
    result.pop_back();
  }
  return result;
}

}  // namespace platform
