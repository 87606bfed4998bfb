#pragma once
// A test program that crashes ends at once with a line that names the case,
// the exception and what the case expected of the step under way. Left to
// itself, Wine starts its debugger on the crash, which holds the program
// until ctest's limit and says nothing of the case.
#include <string>

// Called once by the test programs' entry.
void InstallCrashReport();

// What the running case expects of the step under way, for the crash line;
// the innermost one counts, and the one before it again once it goes.
class Expecting {
public:
    explicit Expecting(const std::string& what);
    ~Expecting();
    Expecting(const Expecting&) = delete;
    Expecting& operator=(const Expecting&) = delete;

private:
    std::string m_previous;
};
