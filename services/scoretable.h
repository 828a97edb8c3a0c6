// The high-score table as shown and saved: twelve rows of text, the first
// ten kept in the settings file.
#pragma once

#include "runtime/runtime.h"

extern StringArray HighscoreNames, HighscoreScores, HighscoreLevels;
