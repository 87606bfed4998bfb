#include "HexText.h"

#include "DebugLog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char kOddLine[] = "受信データの文字数が奇数です\n";

std::string Encode(const std::string& bytes)
{
    // One guard byte beyond the 2n + 1 that the encoder may use.
    std::vector<char> out(2 * bytes.size() + 2, '#');
    BytesToHexText(static_cast<int>(bytes.size()), reinterpret_cast<const unsigned char*>(bytes.data()),
                   out.data());
    EXPECT_EQ(out.back(), '#') << "wrote beyond 2n + 1";
    return out.data();
}

}  // namespace

TEST(HexText, EncodesTwoLowerCaseDigitsPerByte)
{
    struct Case {
        std::string bytes;
        const char* hex;
    } cases[] = {
        {"AB\r\n", "41420d0a"},
        {"\x82", "82"},
        {"\x05", "05"},
        {std::string("\x00\xff\x10", 3), "00ff10"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Encode(c.bytes), c.hex);

    char out[4] = {'#', '#', '#', '#'};
    BytesToHexText(-3, reinterpret_cast<const unsigned char*>("x"), out);
    EXPECT_EQ(out[0], '\0');
    EXPECT_EQ(out[1], '#');
}

TEST(HexText, DecodesPairsOfEitherCase)
{
    struct Case {
        const char* hex;
        std::string bytes;
    } cases[] = {
        {"41420d0a", "AB\r\n"},
        {"41420D0A", "AB\r\n"},
        {"zz", std::string(1, '\0')},  // not a digit: 0
        {"g1", "\x01"},
        {"8e7f", "\x8e\x7f"},
    };
    for (const Case& c : cases) {
        DebugLogCapture log;
        std::vector<unsigned char> out(c.bytes.size() + 1, 0xEE);
        EXPECT_EQ(HexToBytes(c.hex, out.data()), static_cast<int>(c.bytes.size())) << c.hex;
        EXPECT_EQ(std::string(out.begin(), out.end() - 1), c.bytes) << c.hex;
        EXPECT_EQ(out.back(), 0xEE) << "no NUL after the bytes";
        EXPECT_EQ(log.Count(kOddLine), 0);
    }
}

TEST(HexText, OddOrEmptyTextDecodesToNothing)
{
    struct Case {
        const char* hex;
        int lines;
    } cases[] = {{"4", 1}, {"414", 1}, {"", 0}};
    for (const Case& c : cases) {
        DebugLogCapture log;
        unsigned char out[4] = {0xEE, 0xEE, 0xEE, 0xEE};
        EXPECT_EQ(HexToBytes(c.hex, out), 0) << c.hex;
        EXPECT_EQ(out[0], 0xEE) << "untouched";
        EXPECT_EQ(log.Count(kOddLine), c.lines) << c.hex;
    }
}

TEST(HexText, DigitValues)
{
    const std::string digits = "0123456789abcdefABCDEF";
    const int values[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 10, 11, 12, 13, 14, 15};
    for (std::size_t i = 0; i < digits.size(); ++i)
        EXPECT_EQ(HexDigitValue(digits[i]), values[i]) << digits[i];
    for (char c : std::string("gG/:@`\x82 \0", 10))
        EXPECT_EQ(HexDigitValue(c), 0) << static_cast<int>(c);
}
