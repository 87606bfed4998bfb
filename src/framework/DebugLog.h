#pragma once
// The debug log: printf-style lines on standard output, flushed at once.
// Standard output is the debug console in debug mode, the null device otherwise.
#include <string>

void DebugLog(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));

// While alive, collects everything logged (for tests that read the log);
// the newest capture collects, an older one resumes when it ends.
class DebugLogCapture {
public:
    DebugLogCapture();
    ~DebugLogCapture();
    DebugLogCapture(const DebugLogCapture&) = delete;
    DebugLogCapture& operator=(const DebugLogCapture&) = delete;

    const std::string& Text() const { return m_text; }
    int Count(const std::string& text) const;  // occurrences of a logged text
    void Append(const std::string& text) { m_text += text; }

private:
    std::string m_text;
    DebugLogCapture* m_previous;
};
