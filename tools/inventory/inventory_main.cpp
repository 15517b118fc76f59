// inventory: lists what of the product is installed here, the look-alikes of others, and the
// profile values the uninstaller sets.

#include <cstdio>

#include "tools/inventory/inventory.h"

int main() {
  const std::vector<inventory::Item> items = inventory::TakeInventory();
  std::fputs(inventory::Format(items).c_str(), stdout);
  std::printf("%u artefact(s) of the model, %u look-alike(s) of others\n",
              static_cast<unsigned>(inventory::Lines(items, inventory::Kind::Model).size()),
              static_cast<unsigned>(inventory::Lines(items, inventory::Kind::Other).size()));
  return 0;
}
