// Resources of the module the toolkit runs in, found by numeric id and type name. Each platform
// provides its own lookup: the module's resource section on Windows, a table embedded at build
// time elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>

// Finds the resource with the low 16 bits of id and the type name (compared without regard to
// case). On success data points at its size bytes, valid for the lifetime of the module; on
// failure the result is false and data and size are left alone.
bool findResource(int32_t id, const char* type, const uint8_t*& data, size_t& size);
