#include "tests/registry_test_support.h"

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>

#include "win/reg_key.h"
#include "win/unique_handle.h"

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

std::string DaclEntries(HKEY root, const std::string& key) {
  RegKey opened;
  const LONG openStatus = opened.Open(root, key.c_str(), READ_CONTROL);
  if (openStatus != ERROR_SUCCESS) return "open failed with " + std::to_string(openStatus);
  ScopedLocalMemory descriptor;
  const DWORD status = ::GetSecurityInfo(opened.Get(), SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                         nullptr, nullptr, descriptor.Receive());
  if (status != ERROR_SUCCESS) return "GetSecurityInfo failed with " + std::to_string(status);
  char* text = nullptr;
  if (!::ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor.Get(), SDDL_REVISION_1,
                                                              DACL_SECURITY_INFORMATION, &text, nullptr)) {
    return "no SDDL";
  }
  const ScopedLocalMemory ownedText(text);
  const std::string sddl = text;
  const std::size_t entries = sddl.find('(');
  return entries == std::string::npos ? "no entries" : sddl.substr(entries);
}
