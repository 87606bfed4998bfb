#pragma once
// Code page 932 helpers: every search steps over whole characters, so the
// second byte of a double-byte character never matches a single-byte one.
#include <cstddef>

bool MbcsIsLeadByte(unsigned char c);

// Length in bytes of the character that starts at s (1 or 2; a lead byte
// at the end of the text counts as one).
std::size_t MbcsCharLength(const char* s);

// First occurrence of sub in s, at a character boundary; null if none.
const char* MbcsFind(const char* s, const char* sub);

// Last occurrence of the single-byte character c in s; null if none.
const char* MbcsReverseFind(const char* s, char c);
