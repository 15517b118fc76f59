// Removes the model's driver package as the uninstaller's driver phase does, from whatever folder
// this program is copied to.

#include "identity/target_identity.h"
#include "removal/removal.h"

namespace {

void SleepingPause(DWORD milliseconds) { ::Sleep(milliseconds); }

}  // namespace

int main() {
  RemoveDriverPackage(MODEL_NAME, DRIVER_FILE_LETTER, SleepingPause);
  return 0;
}
