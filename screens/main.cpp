// The program: the runtime's entry starts its core and runs the game once.
#include "screens/screens.h"

int main() { return ProgramEntry(GameMain); }
