#include "tests/registry_test_support.h"

#include <algorithm>

std::string ComputerName() {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof(name);
  return ::GetComputerNameA(name, &size) ? std::string(name, size) : std::string();
}

std::string WithComputerName(std::string text) {
  const std::string placeholder = "{computer}";
  const std::string name = ComputerName();
  for (std::size_t at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder, at)) {
    text.replace(at, placeholder.size(), name);
    at += name.size();
  }
  return text;
}

std::string PathOfLength(const std::string& prefix, std::size_t length) {
  std::string path = prefix;
  while (path.size() < length) {
    const std::size_t remaining = length - path.size();
    if (remaining == 1) {
      path += 'b';
      break;
    }
    path += '\\';
    path.append(std::min<std::size_t>(100, remaining - 1), 'a');
  }
  return path;
}

void CopyText(const std::string& text, KeyPathBuffer& buffer) {
  buffer.fill('\0');
  std::copy_n(text.begin(), std::min(text.size(), buffer.size() - 1), buffer.begin());
}

