// inventory: lists what of the product is installed here, and the look-alikes of others.

#include <cstdio>

#include "tools/inventory/inventory.h"

int main() {
  const std::vector<inventory::Item> items = inventory::TakeInventory();
  std::fputs(inventory::Format(items).c_str(), stdout);
  std::printf("%u item(s) of the model\n", static_cast<unsigned>(inventory::ModelArtefacts(items).size()));
  return 0;
}
