#pragma once

// The file a planted net.exe appends its own path to whenever it runs.
inline constexpr char kPlantedNetMarker[] = "C:\\planted_net_ran.txt";
