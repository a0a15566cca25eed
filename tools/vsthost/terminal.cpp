#include "terminal.h"

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

bool stderrIsTerminal()
{
    constexpr int kStderr = 2;
#if defined(_WIN32)
    return _isatty(kStderr) != 0;
#else
    return isatty(kStderr) != 0;
#endif
}
