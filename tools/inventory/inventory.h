#pragma once

// What of the product is installed in the running Windows (a Wine prefix), found through the
// system's own interfaces, together with the look-alikes that belong to others and must stay,
// and the settings the uninstaller writes.

#include <string>
#include <vector>

namespace inventory {

enum class Kind {
  Model,    // an artefact of the model: the uninstaller removes it
  Other,    // a look-alike of another product, which must survive
  Setting,  // a value the uninstaller sets, shown as it stands
};

struct Item {
  std::string category;  // "printer", "driver file", ...
  std::string name;
  Kind kind;
};

std::vector<Item> TakeInventory();

// The parts, each appending what it finds.
void AddPrinting(std::vector<Item>& items);      // printers, settings keys, drivers, forms, monitor, processor
void AddDriverFiles(std::vector<Item>& items);   // the thirteen files, look-alikes, the data directory
void AddInfFiles(std::vector<Item>& items);      // INF and PNF files, printer class keys
void AddDevices(std::vector<Item>& items);       // USB and printer device nodes, enumeration keys
void AddProductKeys(std::vector<Item>& items);   // the Uninstall key, the profile values

// "category: name" lines of the items of one kind.
std::vector<std::string> Lines(const std::vector<Item>& items, Kind kind);

// A readable listing, grouped by category.
std::string Format(const std::vector<Item>& items);

// Case-insensitive containment, for finding look-alikes.
bool ContainsIgnoringCase(const std::string& text, const std::string& part);

}  // namespace inventory
