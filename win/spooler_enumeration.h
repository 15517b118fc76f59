#pragma once

// The spooler's enumerations are sized in two calls: the first, without a buffer, reports the
// bytes needed; the second fills a buffer. The buffer is made four times the reported size, as
// the list may grow between the calls, while the second call is still told the reported size.

#include <windows.h>

#include <vector>

struct SpoolerList {
  std::vector<BYTE> buffer;
  DWORD count = 0;

  template <typename Record>
  const Record* Records() const {
    return reinterpret_cast<const Record*>(buffer.data());
  }
};

// enumerate(buffer, bufferSize, &needed, &returned) performs one call. Returns false when the
// second call fails; the thread's last error then tells why.
template <typename Enumerate>
bool EnumerateSpoolerList(Enumerate enumerate, SpoolerList& list) {
  DWORD needed = 0;
  DWORD returned = 0;
  (void)enumerate(nullptr, 0, &needed, &returned);
  list.buffer.assign(static_cast<size_t>(needed) * 4, 0);
  returned = 0;
  DWORD secondNeeded = 0;
  if (!enumerate(list.buffer.empty() ? nullptr : list.buffer.data(), needed, &secondNeeded, &returned)) {
    list.count = 0;
    return false;
  }
  list.count = returned;
  return true;
}
