// Front-end state kept for the whole run.
#include "screens/screens.h"

int LastKeyCode = 0;
StringArray WebsiteLines;
String VersionMessage1 = u"sync score to check";
String VersionMessage2 = u"for updated version";
String NewerVersion;
