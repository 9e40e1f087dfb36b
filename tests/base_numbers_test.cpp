// base_numbers_test.cpp: the reader of numbers and flags that every option,
// script, recording and score table goes through: ranges and their bounds,
// digits past any integer's width, signs, hex, junk around a number, the
// decimals strtof would take that the reader must not, the flag words, and
// the wording of a refusal.
#include <gtest/gtest.h>

#include <cfloat>
#include <cstdio>
#include <cstring>
#include <ostream>

#include "base/numbers.h"

namespace {

constexpr unsigned plain = numberPlain, plus = numberPlus, hex = numberHex,
                   exponent = numberExponent;
constexpr int64_t no = -424242;  // the value of a case that is refused

struct WholeCase {
  const char* text;
  int64_t least, most;
  unsigned syntax;
  int64_t value;
};

// clang-format off
const WholeCase wholeCases[] = {
    {"0", 0, 100, plain, 0}, {"100", 0, 100, plain, 100}, {"101", 0, 100, plain, no},
    {"0", 1, 100, plain, no}, {"007", 0, 100, plain, 7},
    {"000000000000000000000000000042", 0, 100, plain, 42},
    {"4294967295", 0, UINT32_MAX, plain, UINT32_MAX}, {"4294967296", 0, UINT32_MAX, plain, no},
    {"-2147483648", INT32_MIN, INT32_MAX, plain, INT32_MIN},
    {"-2147483649", INT32_MIN, INT32_MAX, plain, no},
    {"9223372036854775807", INT64_MIN, INT64_MAX, plain, INT64_MAX},
    {"-9223372036854775808", INT64_MIN, INT64_MAX, plain, INT64_MIN},
    {"9223372036854775808", INT64_MIN, INT64_MAX, plain, no},
    // 2^64 + 5, and more digits than any integer holds: nothing wraps round.
    {"18446744073709551621", 0, 100, plain, no}, {"-18446744073709551621", -100, 100, plain, no},
    {"99999999999999999999999", 0, INT64_MAX, plain, no},
    // A '-' only where the range goes below zero, a '+' only when asked.
    {"-1", 0, 100, plain, no}, {"-0", 0, 100, plain, no}, {"-0", -5, 5, plain, 0},
    {"-5", -5, 5, plain, -5}, {"+5", -5, 5, plain, no}, {"+5", -5, 5, plus, 5},
    {"-", -5, 5, plus, no}, {"+", -5, 5, plus, no}, {"--5", -5, 5, plain, no},
    {"+-5", -5, 5, plus, no},
    // Nothing around the digits.
    {" 1", 0, 100, plain, no}, {"1 ", 0, 100, plain, no}, {"", 0, 100, plain, no},
    {"1x", 0, 100, plain, no}, {"1.0", 0, 100, plain, no}, {"1e2", 0, 100, plain, no},
    // Hex: lower-case digits without a prefix, only when asked.
    {"ff", 0, 0xfff, hex, 255}, {"fff", 0, 0xfff, hex, 0xfff}, {"1000", 0, 0xfff, hex, no},
    {"FF", 0, 0xfff, hex, no}, {"0xff", 0, 0xfff, hex, no}, {"ff", 0, 0xfff, plain, no},
    {"ffffffffffffffffffff", 0, INT64_MAX, hex, no}};
// clang-format on

// A case's name in the list of tests: its text, range and syntax.
template <typename Case>
void printCase(const Case& c, std::ostream* out) {
  *out << '"' << c.text << "\" in " << c.least << ".." << c.most << " syntax " << c.syntax;
}
void PrintTo(const WholeCase& c, std::ostream* out) { printCase(c, out); }

class WholeNumbers : public ::testing::TestWithParam<WholeCase> {};

TEST_P(WholeNumbers, AreReadWithinTheirRangeOrNotAtAll) {
  const WholeCase c = GetParam();
  int64_t out = no;
  EXPECT_EQ(readWhole(c.text, c.least, c.most, &out, c.syntax), c.value != no);
  EXPECT_EQ(out, c.value);
}

INSTANTIATE_TEST_SUITE_P(Cases, WholeNumbers, ::testing::ValuesIn(wholeCases));

struct DecimalCase {
  const char* text;
  float least, most;
  unsigned syntax;
  float value;
};

// clang-format off
const DecimalCase decimalCases[] = {
    {"1", 0.1f, 10, plain, 1}, {"0.25", 0.1f, 10, plain, 0.25f}, {".5", 0.1f, 10, plain, 0.5f},
    {"3.", 0.1f, 10, plain, 3}, {"0.1", 0.1f, 10, plain, 0.1f}, {"10", 0.1f, 10, plain, 10},
    {"10.000001", 0.1f, 10, plain, no}, {"0.0999999", 0.1f, 10, plain, no},
    // Rounded once, to the nearest float, however many digits.
    {"0.100000001490116119384765625", 0.1f, 10, plain, 0.1f},
    {"00000000000000000000000000002.50000000000000000000000000001", 0.1f, 10, plain, 2.5f},
    // Just above the midpoint of 1 and the next float: a double in between
    // would round it to the midpoint and then down to 1.
    {"1.00000005960464477539063", 0.1f, 10, plain, 0x1.000002p0f},
    {"1e1", 0.1f, 10, plain, no}, {"1e1", 0.1f, 10, exponent, 10},
    {"2.5E-1", 0.1f, 10, exponent, 0.25f}, {"1e39", 0, FLT_MAX, exponent, no},
    {"1e99999999999999999999", 0, FLT_MAX, exponent, no},
    {"1e-99999999999999999999", 0, 1, exponent, 0}, {"1e", 0, 10, exponent, no},
    {"1e+", 0, 10, exponent, no}, {"e1", 0, 10, exponent, no},
    {"nan", -FLT_MAX, FLT_MAX, exponent, no}, {"inf", -FLT_MAX, FLT_MAX, exponent, no},
    {"-infinity", -FLT_MAX, FLT_MAX, exponent, no}, {"0x1p3", 0, 10, exponent, no},
    {" 1", 0, 10, plain, no}, {"1 ", 0, 10, plain, no}, {"", 0, 10, plain, no},
    {".", 0, 10, plain, no}, {"1.2.3", 0, 10, plain, no}, {"1,5", 0, 10, plain, no},
    {"-1", 0, 10, plain, no}, {"-1", -2, 10, plain, -1}, {"+1", 0, 10, plain, no},
    {"+1", 0, 10, plus, 1}};
// clang-format on

void PrintTo(const DecimalCase& c, std::ostream* out) { printCase(c, out); }

class Decimals : public ::testing::TestWithParam<DecimalCase> {};

TEST_P(Decimals, AreReadAsStrtofRoundsThemAndNothingElseIs) {
  const DecimalCase c = GetParam();
  float out = no;
  EXPECT_EQ(readDecimal(c.text, c.least, c.most, &out, c.syntax), c.value != no);
  EXPECT_EQ(out, c.value);
}

INSTANTIATE_TEST_SUITE_P(Cases, Decimals, ::testing::ValuesIn(decimalCases));

// The recording writes its floats with %.9g: every one reads back as itself,
// the small and large ones with the exponent %.9g gives them.
TEST(Decimals, PrintedWithNineDigitsReadBackAsTheVeryFloat) {
  int checked = 0;
  for (uint32_t bits = 0x00800000u; bits < 0x7f800000u; bits += 0x00012345u, checked++) {
    float f, back = 0;
    memcpy(&f, &bits, sizeof f);
    char text[32];
    snprintf(text, sizeof text, "%.9g", static_cast<double>(f));
    ASSERT_TRUE(readDecimal(text, 0, FLT_MAX, &back, numberExponent)) << text;
    ASSERT_EQ(memcmp(&back, &f, sizeof f), 0) << text;
  }
  EXPECT_GT(checked, 20000);
}

TEST(Flags, TakeEachSpellingOfOnAndOffAndNothingElse) {
  const struct {
    const char* words[10];
    int value;  // -1: refused
  } groups[] = {{{"true", "yes", "on", "1", "TRUE", "Yes", "oN"}, 1},
                {{"false", "no", "off", "0", "FALSE", "No", "Off"}, 0},
                {{"maybe", "", " true", "true ", "2", "00", "y", "tru", "truee", "onn"}, -1}};
  for (const auto& group : groups)
    for (const char* word : group.words) {
      if (!word) continue;
      bool value = group.value != 1;
      EXPECT_EQ(readFlag(word, &value), group.value >= 0) << word;
      EXPECT_EQ(value, group.value == 1 || group.value < 0) << word;
    }
}

// readWholeIn reads a part of a longer text (a window's "WxH", a
// recording's "7f+") and nothing past it; every refusal is worded alike.
TEST(WholeNumbers, AreReadFromAPartOfATextAndTheRefusalsAreWordedAlike) {
  int64_t out = 0;
  EXPECT_TRUE(readWholeIn("1280x720", 4, 0, 16384, &out));
  EXPECT_EQ(out, 1280);
  EXPECT_TRUE(readWholeIn("7f+", 2, 0, 255, &out, numberHex));
  EXPECT_EQ(out, 0x7f);
  EXPECT_FALSE(readWholeIn("x720", 0, 0, 16384, &out));
  EXPECT_FALSE(readWholeIn("-", 1, -5, 5, &out));

  char said[256];
  wholeNumberError(said, sizeof said, 0, 100, "400");
  EXPECT_STREQ(said, "takes a whole number from 0 to 100, not '400'");
  wholeNumberError(said, sizeof said, -32768, 32767, "1\n2");
  EXPECT_STREQ(said, "takes a whole number from -32768 to 32767, not '1\\n2'");
  wholeNumberError(said, sizeof said, 0, 0xfff, "g", numberHex);
  EXPECT_STREQ(said, "takes a hex number from 0 to fff, not 'g'");
  decimalError(said, sizeof said, 0.1f, 10, "x");
  EXPECT_STREQ(said, "takes a number from 0.1 to 10, not 'x'");
  flagError(said, sizeof said, "\x1b[2J");
  EXPECT_STREQ(said, "takes true or false, not '\\x1b[2J'");
}

}  // namespace
