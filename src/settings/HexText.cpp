#include "HexText.h"

#include "DebugLog.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

int FormatIntoBuffer(char** ppBuffer, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const int result = std::vsprintf(*ppBuffer, format, args);
    va_end(args);
    return result;
}

void BytesToHexText(int count, const unsigned char* bytes, char* out)
{
    for (int i = 0; i < count; ++i) {
        char* pair = out + 2 * i;
        FormatIntoBuffer(&pair, "%2.2x", static_cast<unsigned int>(bytes[i]));
    }
    out[count > 0 ? 2 * count : 0] = '\0';
}

int HexToBytes(const char* text, unsigned char* out)
{
    const std::size_t length = std::strlen(text);
    if (length % 2 != 0) {
        DebugLog("受信データの文字数が奇数です\n");
        return 0;
    }
    const int count = static_cast<int>(length / 2);
    for (int i = 0; i < count; ++i)
        out[i] = static_cast<unsigned char>(HexDigitValue(text[2 * i]) * 16 + HexDigitValue(text[2 * i + 1]));
    return count;
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}
