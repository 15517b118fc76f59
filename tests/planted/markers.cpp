#include "tests/planted/markers.h"

#include <windows.h>

void LeavePlantedMarker(const std::string& plantedPath) {
  ::CreateDirectoryA(kPlantedMarkerFolder, nullptr);
  std::string name = plantedPath;
  for (char& c : name) {
    if (c == '\\' || c == ':' || c == '/') c = '_';
  }
  HANDLE file = ::CreateFileA((std::string(kPlantedMarkerFolder) + "\\" + name).c_str(), GENERIC_WRITE, 0,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(file, plantedPath.data(), static_cast<DWORD>(plantedPath.size()), &written, nullptr);
  ::CloseHandle(file);
}

std::vector<std::string> PlantedMarkers() {
  std::vector<std::string> markers;
  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileA((std::string(kPlantedMarkerFolder) + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return markers;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) markers.push_back(found.cFileName);
  } while (::FindNextFileA(search, &found));
  ::FindClose(search);
  return markers;
}
