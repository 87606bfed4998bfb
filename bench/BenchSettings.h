#pragma once
// The settings file the benchmark runs on: items of the three kinds on the
// medium, none of them due within the measurement.
#include "CString.h"

#include <string>

// version: the Skype version recorded for the medium, or null.
void WriteBenchSettings(const std::string& iniPath, int items, int delay, const CString* version);
