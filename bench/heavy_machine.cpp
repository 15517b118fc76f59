#include "bench/heavy_machine.h"

#include <cstdio>
#include <string>

#include "identity/target_identity.h"
#include "tools/stager/package_layout.h"
#include "tools/stager/presets.h"

namespace bench {

namespace {

// The data tree: top-level folders, each with the same number of subfolders, files spread evenly.
constexpr int kSubfoldersPerFolder = 9;

std::string Numbered(const char* format, int number) {
  char text[128];
  std::snprintf(text, sizeof text, format, number);
  return text;
}

std::string OtherDriverName(int index) { return Numbered("Generic Thermal %02d", index); }

void AddDriversAndPrinters(const MachineSize& size, stager::Installation& machine) {
  if (size.modelPackage) machine.drivers.push_back(stager::ModelDriver());
  for (int d = 0; d < size.otherDrivers; ++d) machine.drivers.push_back(stager::OtherDriver(OtherDriverName(d)));
  for (int p = 0; p < size.modelPrinters; ++p) {
    machine.printers.push_back({Numbered("KARVELO QTM-820wide (Lane %02d)", p + 1), DRIVER_NAME, true});
  }
  for (int p = 0; p < size.otherPrinters; ++p) {
    machine.printers.push_back({Numbered("Office Printer %03d", p + 1), OtherDriverName(p % size.otherDrivers), false});
  }
}

// oem1.inf to oemN.inf list the model (one per install of it); the other oem INFs and the
// system's own-named INFs list a sibling model. Every INF has its compiled companion.
void AddInfRecords(const MachineSize& size, stager::Installation& machine) {
  for (int i = 1; i <= size.oemInfFiles; ++i) {
    machine.infFiles.push_back({Numbered("oem%d.inf", i), i <= size.modelOemInfFiles, true});
  }
  for (int i = size.oemInfFiles; i < size.infFiles; ++i) {
    machine.infFiles.push_back({Numbered("prnvendor%04d.inf", i), false, true});
  }
  // One printer class key per printer, pointing at the INF it was installed from.
  int key = 0;
  for (int p = 0; p < size.modelPrinters; ++p, ++key) {
    machine.driverClassKeys.push_back(
        {Numbered("%04d", key), DRIVER_NAME, Numbered("oem%d.inf", 1 + p % size.modelOemInfFiles)});
  }
  for (int p = 0; p < size.otherPrinters; ++p, ++key) {
    machine.driverClassKeys.push_back({Numbered("%04d", key), OtherDriverName(p % size.otherDrivers),
                                       Numbered("oem%d.inf", size.modelOemInfFiles + 1 + p)});
  }
  machine.uninstallKey = size.modelPackage;
  machine.uninstallInfFile = stager::FolderPath(stager::Folder::Inf) + "\\oem1.inf";
}

void AddUsbDevices(const MachineSize& size, stager::Installation& machine) {
  for (int n = 0; n < size.modelUsbDeviceNodes; ++n) {
    machine.deviceNodes.push_back({Numbered("USB\\VID_2E5B&PID_0017\\KV%06d", n),
                                   {"USB\\Vid_2E5B&Pid_0017&Rev_0100", "USB\\Vid_2E5B&Pid_0017"}});
  }
  for (int n = size.modelUsbDeviceNodes; n < size.usbDeviceNodes; ++n) {
    // Devices of some hundred makes and models, a few serial numbers each.
    const std::string vendorProduct = Numbered("Vid_1A%02X", n % 200) + Numbered("&Pid_%04X", n % 997);
    machine.deviceNodes.push_back({"USB\\" + vendorProduct + Numbered("\\SN%06d", n),
                                   {"USB\\" + vendorProduct + "&Rev_0100", "USB\\" + vendorProduct}});
  }
  if (!size.modelPackage) return;
  // The printer nodes the model's printer leaves below its enumeration keys, as Windows keeps them.
  const std::vector<stager::DeviceNodeSpec> printerNodes = stager::ModelPrinterNodes("oem1.inf");
  machine.deviceNodes.insert(machine.deviceNodes.end(), printerNodes.begin(), printerNodes.end());
  machine.lockedKeys = {{LPTENUM_ENUM_KEY, stager::KeyLock::UntilGranted}};
}

// Folders of logos and receipts; some files read-only or hidden, some folders read-only.
void AddDataTree(const MachineSize& size, stager::Installation& machine) {
  const int topFolders = size.dataDirectories / (1 + kSubfoldersPerFolder);
  const int filesPerFolder = size.dataFiles / size.dataDirectories;
  for (int t = 0; t < topFolders; ++t) {
    const std::string top = Numbered("store%02d", t);
    std::vector<std::string> folders{top};
    for (int s = 0; s < kSubfoldersPerFolder; ++s) folders.push_back(top + Numbered("\\receipts%d", s));
    for (size_t f = 0; f < folders.size(); ++f) {
      machine.dataDirectory.push_back({folders[f], true, f % 4 == 3 ? DWORD{FILE_ATTRIBUTE_READONLY} : 0});
      for (int i = 0; i < filesPerFolder; ++i) {
        const DWORD attributes = i % 7 == 0 ? FILE_ATTRIBUTE_READONLY : i % 11 == 0 ? FILE_ATTRIBUTE_HIDDEN : 0;
        machine.dataDirectory.push_back({folders[f] + Numbered("\\receipt%04d.dat", i), false, attributes});
      }
    }
  }
}

bool FindMachineSize(const std::string& name, MachineSize& size) {
  if (name == "full") {
    size = MachineSize{60, 60, 12, 400, 3000, 800, 60, 3000, 60, 10000, 200};
    return true;
  }
  if (name == "half") {
    size = MachineSize{30, 30, 6, 200, 1500, 400, 30, 1500, 30, 5000, 100};
    return true;
  }
  if (name == "clean") {
    size = MachineSize{0, 60, 12, 400, 3000, 800, 0, 3000, 0, 0, 0, false};
    return true;
  }
  return false;
}

stager::Installation HeavyMachine(const MachineSize& size) {
  stager::Installation machine;
  AddDriversAndPrinters(size, machine);
  AddInfRecords(size, machine);
  AddUsbDevices(size, machine);
  if (!size.modelPackage) return machine;
  machine.monitorKey = true;
  machine.processorKey = true;
  machine.files = stager::ModelDriverFiles();
  AddDataTree(size, machine);
  return machine;
}

std::string Describe(const MachineSize& size) {
  char text[1024];
  std::snprintf(text, sizeof text,
                "printers: %d of the model, %d on %d other drivers\n"
                "forms: %d asked for, none staged (the spooler's AddFormA is a stub that changes nothing "
                "under Wine; EnumFormsA lists only its built-in forms)\n"
                "INF files: %d, of which %d oem INFs (%d list the model), each with its .PNF\n"
                "USB device nodes: %d, of which %d of the model\n"
                "data tree: %d files in %d directories\n",
                size.modelPrinters, size.otherPrinters, size.otherDrivers, size.forms, size.infFiles,
                size.oemInfFiles, size.modelOemInfFiles, size.usbDeviceNodes, size.modelUsbDeviceNodes,
                size.dataFiles, size.dataDirectories);
  return text + std::string(size.modelPackage ? "" : "nothing else of the model's package\n");
}

}  // namespace

bool FindMachine(const std::string& name, Machine& machine) {
  if (name == "sample") {
    machine.installation = stager::SampleInstallation();
    machine.modelPrinters = 0;
    for (const auto& printer : machine.installation.printers) machine.modelPrinters += printer.driverName == DRIVER_NAME;
    machine.description = "the sample installation of the tests and the demo: " +
                          std::to_string(machine.modelPrinters) + " printers of the model\n";
    return true;
  }
  MachineSize size;
  if (!FindMachineSize(name, size)) return false;
  machine.installation = HeavyMachine(size);
  machine.modelPrinters = size.modelPrinters;
  machine.nothingOfTheModel = !size.modelPackage;
  machine.description = Describe(size);
  return true;
}

}  // namespace bench
