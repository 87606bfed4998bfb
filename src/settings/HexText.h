#pragma once
// Bytes as hex text (two lower-case digits per byte, no separators) and back.
// The buffers are the caller's: the encoder needs 2n + 1 characters, the
// decoder half the text's length.

// Formats into the buffer that *ppBuffer designates.
int FormatIntoBuffer(char** ppBuffer, const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));

// Writes 2n digits and a NUL; a count of 0 or less writes the NUL alone.
void BytesToHexText(int count, const unsigned char* bytes, char* out);

// One byte per pair of digits; the number of bytes written (no NUL after
// them). An odd-length text is refused: 0 bytes, out untouched.
int HexToBytes(const char* text, unsigned char* out);

// 0 to 15 for a hex digit of either case; 0 for every other character.
int HexDigitValue(char c);
