#include "Mbcs.h"

#include <cstring>

bool MbcsIsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

std::size_t MbcsCharLength(const char* s)
{
    if (MbcsIsLeadByte(static_cast<unsigned char>(s[0])) && s[1] != '\0')
        return 2;
    return 1;
}

const char* MbcsFind(const char* s, const char* sub)
{
    const std::size_t n = std::strlen(sub);
    for (const char* p = s;; p += MbcsCharLength(p)) {
        if (std::strncmp(p, sub, n) == 0)
            return p;
        if (*p == '\0')
            return nullptr;
    }
}

const char* MbcsReverseFind(const char* s, char c)
{
    const char* found = nullptr;
    for (const char* p = s; *p != '\0'; p += MbcsCharLength(p)) {
        if (*p == c)
            found = p;
    }
    return found;
}
