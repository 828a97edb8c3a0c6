// The program: the runtime's entry starts its core and runs the game once.
#include "shell/shell.h"

int main() { return ProgramEntry(GameMain); }
