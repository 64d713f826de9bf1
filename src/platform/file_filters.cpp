#include "platform/file_filters.h"

#include <cstddef>

#include "io/text.h"

namespace platform {

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

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The "desc|pattern|desc|pattern" fields of a filter, in order.
std::vector<std::string> FilterFields(const std::string& filter) {
  std::vector<std::string> fields;
  std::string::size_type start = 0;
  const std::string trimmed = TrimFilter(filter);
  if (trimmed.empty()) return fields;
  for (;;) {
    const std::string::size_type bar = trimmed.find('|', start);
    fields.push_back(trimmed.substr(start, bar - start));
    if (bar == std::string::npos) return fields;
    start = bar + 1;
  }
}

bool EndsWithAnyCase(const std::string& text, const std::string& end) {
  if (end.empty() || text.size() < end.size()) return false;
  const std::size_t offset = text.size() - end.size();
  for (std::size_t i = 0; i < end.size(); ++i) {
    if (LowerAscii(text[offset + i]) != LowerAscii(end[i])) return false;
  }
  return true;
}

}  // namespace

std::string AnyCasePatterns(const std::string& filter) {
  const std::vector<std::string> fields = FilterFields(filter);
  std::string result;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) result += '|';
    const bool pattern = i % 2 == 1;
    for (const char c : fields[i]) {
      if (pattern && IsAsciiLetter(c)) {
        result += {'[', LowerAscii(c), UpperAscii(c), ']'};
      } else {
        result += c;
      }
    }
  }
  return result;
}

std::vector<std::string> FilterExtensions(const std::string& filter) {
  const std::vector<std::string> fields = FilterFields(filter);
  std::vector<std::string> extensions;
  for (std::size_t i = 1; i < fields.size(); i += 2) {
    const std::string pattern = fields[i].substr(0, fields[i].find(';'));
    const bool named = pattern.rfind("*.", 0) == 0 && pattern.size() > 2 &&
                       pattern.find_first_of("*?[", 2) == std::string::npos;
    extensions.push_back(named ? pattern.substr(1) : std::string());
  }
  return extensions;
}

std::string WithFilterExtension(const std::string& path, const std::string& filter, int chosen) {
  const std::vector<std::string> extensions = FilterExtensions(filter);
  for (const std::string& extension : extensions) {
    if (EndsWithAnyCase(path, extension)) return path;
  }
  if (chosen < 0 || static_cast<std::size_t>(chosen) >= extensions.size()) return path;
  return path + extensions[static_cast<std::size_t>(chosen)];
}

std::string SwitchFilterExtension(const std::string& name, const std::string& filter, int chosen) {
  const std::vector<std::string> extensions = FilterExtensions(filter);
  if (chosen < 0 || static_cast<std::size_t>(chosen) >= extensions.size()) return name;
  const std::string& wanted = extensions[static_cast<std::size_t>(chosen)];
  if (wanted.empty()) return name;
  for (const std::string& extension : extensions) {
    if (!extension.empty() && EndsWithAnyCase(name, extension)) {
      return name.substr(0, name.size() - extension.size()) + wanted;
    }
  }
  return name;
}

}  // namespace platform
