// FindIniValue. Part of the simulated host.
#include "ini_file.h"

#include <sstream>

namespace simhost {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string Trim(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
}

bool FindIniValue(const std::string& contents, const std::string& section,
                  const std::string& key, std::string* value) {
  // A UTF-8 byte-order mark would hide the first section header.
  const std::string byteOrderMark = "\xEF\xBB\xBF";
  const bool marked = contents.compare(0, byteOrderMark.size(), byteOrderMark) == 0;
  std::istringstream lines(marked ? contents.substr(byteOrderMark.size()) : contents);
  std::string line;
  bool inSection = false;
  while (std::getline(lines, line)) {
    const std::string text = Trim(line);
    if (text.empty() || text[0] == ';' || text[0] == '#') continue;
    if (text[0] == '[') {
      const size_t close = text.find(']');
      inSection = close != std::string::npos &&
                  EqualsIgnoringCase(Trim(text.substr(1, close - 1)), section);
      continue;
    }
    const size_t equals = text.find('=');
    if (!inSection || equals == std::string::npos) continue;
    if (!EqualsIgnoringCase(Trim(text.substr(0, equals)), key)) continue;
    *value = Trim(text.substr(equals + 1));
    return !value->empty();
  }
  return false;
}

}  // namespace simhost
