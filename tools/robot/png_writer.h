#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes 24-bit RGB pixels (rows top to bottom) as a PNG file. Stored (uncompressed) deflate
// blocks keep this small; screenshots of a dialog stay well below a megabyte.
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);
