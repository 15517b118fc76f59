#pragma once

#include <string>
#include <vector>

// Where planted files leave word that they were loaded or run.
constexpr char kPlantedMarkerFolder[] = "C:\\planted_markers";

// Leaves a marker for the planted file at this path.
void LeavePlantedMarker(const std::string& plantedPath);

// The markers left so far: the paths of the planted files that were loaded or run.
std::vector<std::string> PlantedMarkers();
