#pragma once

// The heavy machine the benchmark uninstalls from: the model's whole driver package on a print
// server that has seen years of printers, drivers, INF files and USB devices come and go.

#include <string>

#include "tools/stager/installation.h"

namespace bench {

// How much of each kind the machine holds.
struct MachineSize {
  int modelPrinters = 0;
  int otherPrinters = 0;
  int otherDrivers = 0;
  int forms = 0;             // asked for; cannot be staged where the spooler's form calls are stubs
  int infFiles = 0;          // every INF staged, oem ones included
  int oemInfFiles = 0;
  int modelOemInfFiles = 0;  // oem INFs whose manufacturer section lists the model
  int usbDeviceNodes = 0;
  int modelUsbDeviceNodes = 0;
  int dataFiles = 0;
  int dataDirectories = 0;
  // The rest of the model's package: its driver, monitor and processor, files, Uninstall key,
  // printer nodes and data tree.
  bool modelPackage = true;
};

// A machine to stage and uninstall from.
struct Machine {
  stager::Installation installation;
  int modelPrinters = 0;
  bool nothingOfTheModel = false;
  std::string description;  // one line per kind, for the benchmark's output
};

// "full" is the heavy machine, "half" the same at half size, "clean" the heavy machine with
// nothing of the model, "sample" the sample installation of the tests and the demo (three printers
// of the model); false for any other name.
bool FindMachine(const std::string& name, Machine& machine);

}  // namespace bench
