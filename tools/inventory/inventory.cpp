#include "tools/inventory/inventory.h"

#include <algorithm>
#include <cctype>

namespace inventory {

std::vector<Item> TakeInventory() {
  std::vector<Item> items;
  AddPrinting(items);
  AddDriverFiles(items);
  AddInfFiles(items);
  AddDevices(items);
  AddProductKeys(items);
  return items;
}

std::vector<std::string> Lines(const std::vector<Item>& items, Kind kind) {
  std::vector<std::string> lines;
  for (const Item& item : items) {
    if (item.kind == kind) lines.push_back(item.category + ": " + item.name);
  }
  return lines;
}

std::string Format(const std::vector<Item>& items) {
  std::string text;
  std::string category;
  for (const Item& item : items) {
    if (item.category != category) {
      category = item.category;
      text += category + "\n";
    }
    const char* mark = item.kind == Kind::Model ? "  [model]   " : item.kind == Kind::Other ? "  [other]   " : "  [setting] ";
    text += mark + item.name + "\n";
  }
  return text.empty() ? "  (nothing)\n" : text;
}

bool ContainsIgnoringCase(const std::string& text, const std::string& part) {
  const auto lower = [](unsigned char c) { return static_cast<char>(std::tolower(c)); };
  std::string haystack(text.size(), '\0');
  std::transform(text.begin(), text.end(), haystack.begin(), lower);
  std::string needle(part.size(), '\0');
  std::transform(part.begin(), part.end(), needle.begin(), lower);
  return haystack.find(needle) != std::string::npos;
}

}  // namespace inventory
