#include "win/standard_output.h"

// GetFileType answers FILE_TYPE_UNKNOWN both for a handle that is no handle (with the error set)
// and for one of a kind it cannot name (with NO_ERROR); only the first cannot be written to.
HANDLE GivenStandardOutput() {
  const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE) return nullptr;
  ::SetLastError(NO_ERROR);
  if (::GetFileType(output) == FILE_TYPE_UNKNOWN && ::GetLastError() != NO_ERROR) return nullptr;
  return output;
}
