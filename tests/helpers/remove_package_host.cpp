// Removes the model's driver package as the uninstaller's driver phase does, from whatever folder
// this program is copied to.

#include "identity/target_identity.h"
#include "removal/removal.h"

int main() {
  RemoveDriverPackage(MODEL_NAME, DRIVER_FILE_LETTER);
  return 0;
}
