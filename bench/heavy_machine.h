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
};

// "full" is the heavy machine, "half" the same at half size; false for any other name.
bool FindMachineSize(const std::string& name, MachineSize& size);

stager::Installation HeavyMachine(const MachineSize& size);

// One line per kind, for the benchmark's output.
std::string Describe(const MachineSize& size);

}  // namespace bench
