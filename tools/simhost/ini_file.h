// Reading one value from an INI-style text: [Section] lines, Key = Value
// lines, blank lines and lines starting with ; or # ignored, section and key
// names matched ignoring ASCII case, white space around the value trimmed,
// a leading UTF-8 byte-order mark skipped.
// Part of the simulated host (simhost.exe and the native tests).
#pragma once

#include <string>

namespace simhost {

// Finds `key` in `section` of `contents`. Returns true with the trimmed value
// when the key is there with a value; false when it is absent or empty.
bool FindIniValue(const std::string& contents, const std::string& section,
                  const std::string& key, std::string* value);

// ASCII-only, locale-free comparison ignoring letter case.
bool EqualsIgnoringCase(const std::string& a, const std::string& b);

}  // namespace simhost
