// The high-score table, made at start-up and kept for the whole run.
#include "services/scoretable.h"

StringArray HighscoreNames, HighscoreScores, HighscoreLevels;
