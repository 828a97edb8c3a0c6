// Placeholders for routines not written yet, so the whole game links while
// it is built piece by piece. A real definition anywhere replaces one here.
#include "shell/shell.h"
#include "gameplay/gameplay.h"
#include "online/online.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"
#define PENDING __attribute__((weak))


