#pragma once

// What of the product is installed in the running Windows (a Wine prefix), found through the
// system's own interfaces, together with the look-alikes that belong to others and must stay.

#include <string>
#include <vector>

namespace inventory {

struct Item {
  std::string category;  // "printer", "printer driver", ...
  std::string name;
  bool ofTheModel;       // false: a look-alike of another product, which must survive
};

std::vector<Item> TakeInventory();

// The items of the model only, as "category: name" lines.
std::vector<std::string> ModelArtefacts(const std::vector<Item>& items);

// A readable listing, grouped by category.
std::string Format(const std::vector<Item>& items);

}  // namespace inventory
