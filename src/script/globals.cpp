#include "script/globals.h"

std::string SourceDir;
std::string DestDir;
bool QuietMode = false;
int16_t CurrentScreen = 0;
int16_t ReaderAnswer = 0;
std::string ChosenFolder;
bool SearchCancelled = false;
bool InstallErrors = false;
