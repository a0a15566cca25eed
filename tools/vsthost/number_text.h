// Numbers typed by the user, on the command line or in editor commands: the whole text must be
// the number, in range and finite. Each caller reports a refusal in its own way.
#pragma once

#include <string>

bool readWholeNumber(const std::string& text, long long lowest, long long highest,
                     long long& value);
bool readRealNumber(const std::string& text, double& value);
