// The main menu, the hub of the front end, and the dimmed menu frame that the
// other front-end screens draw behind their text.
#include "shell/shell.h"

int MenuChoice = 0;
int MenuCursorFrame = 0;
int MenuCursorDelay = 0;
int MenuExitRequest = 0;
float PadX = 0, PadY = 0;
