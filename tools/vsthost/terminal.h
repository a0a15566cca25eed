// Whether stderr shows on a terminal (progress lines only make sense there).
#pragma once

bool stderrIsTerminal();
