#include "DebugLog.h"

#include <cstdarg>
#include <cstdio>

namespace {
DebugLogCapture* g_capture = nullptr;
}  // namespace

void DebugLog(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (needed > 0) {
        text.resize(static_cast<std::size_t>(needed) + 1);
        std::vsnprintf(&text[0], text.size(), format, args);
        text.resize(static_cast<std::size_t>(needed));
    }
    va_end(args);

    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    if (g_capture != nullptr)
        g_capture->Append(text);
}

DebugLogCapture::DebugLogCapture() : m_previous(g_capture)
{
    g_capture = this;
}

DebugLogCapture::~DebugLogCapture()
{
    g_capture = m_previous;
}

int DebugLogCapture::Count(const std::string& text) const
{
    if (text.empty())
        return 0;
    int count = 0;
    for (std::size_t pos = m_text.find(text); pos != std::string::npos;
         pos = m_text.find(text, pos + text.size()))
        ++count;
    return count;
}
