#include "number_text.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

bool readWholeNumber(const std::string& text, long long lowest, long long highest, long long& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text.c_str(), &end, 10);
    return !text.empty() && *end == 0 && errno != ERANGE && value >= lowest && value <= highest;
}

bool readRealNumber(const std::string& text, double& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == 0 && errno != ERANGE && std::isfinite(value);
}
