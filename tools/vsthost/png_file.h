// Writing screen pictures as PNG files.
#pragma once

#include "editor_window.h"

#include <string>

// Writes the image as an 8-bit RGB PNG file; false with the cause in error.
bool writePngFile(const std::string& path, const PixelImage& image, std::string& error);
