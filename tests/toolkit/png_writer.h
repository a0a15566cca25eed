// What the tests need to write PNG fixtures with libpng's own writer into memory.
#pragma once

#include <png.h>

#include <cstdint>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline void appendToBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

inline void flushNothing(png_structp) {}
