// Typed values and value texts of the knobs, in the C locale and in a comma locale.
#include "effect/editor/EditorValueText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cmath>
#include <string>

namespace quorvel
{
namespace
{

struct ParseCase
{
  const char* text;
  ValueUnit unit;
  bool accepted;
  double value;
};

const ParseCase kParseCases[] = {
    {"1.5k", ValueUnit::kHertz, true, 1500.0},     {"1.5 kHz", ValueUnit::kHertz, true, 1500.0},
    {"1500", ValueUnit::kHertz, true, 1500.0},     {"1500hz", ValueUnit::kHertz, true, 1500.0},
    {" 1.5 K h Z ", ValueUnit::kHertz, true, 1500.0}, {"1.5", ValueUnit::kHertz, true, 1.5},
    {"-3 dB", ValueUnit::kDecibel, true, -3.0},    {"-3db", ValueUnit::kDecibel, true, -3.0},
    {"+2.25DB", ValueUnit::kDecibel, true, 2.25},  {"50%", ValueUnit::kPercent, true, 50.0},
    {"50 dB", ValueUnit::kPercent, false, 0.0},    {"3 hz", ValueUnit::kDecibel, false, 0.0},
    {"12abc", ValueUnit::kHertz, false, 0.0},      {"12abc", ValueUnit::kDecibel, false, 0.0},
    {"12abc", ValueUnit::kPercent, false, 0.0},    {"", ValueUnit::kPercent, false, 0.0},
    {"dB", ValueUnit::kDecibel, false, 0.0},       {"0x10", ValueUnit::kPercent, false, 0.0},
    {"inf", ValueUnit::kPercent, false, 0.0},      {"nan", ValueUnit::kPercent, false, 0.0},
    {"1e400", ValueUnit::kPercent, false, 0.0},    {"1e306k", ValueUnit::kHertz, false, 0.0},
    {"1,5", ValueUnit::kPercent, false, 0.0},      {"--1", ValueUnit::kPercent, false, 0.0},
};

void ExpectParseTable()
{
  for (const ParseCase& c : kParseCases)
  {
    double value = -777.0;
    EXPECT_EQ(ParseTypedValue(c.text, c.unit, value), c.accepted) << '"' << c.text << '"';
    EXPECT_DOUBLE_EQ(value, c.accepted ? c.value : -777.0) << '"' << c.text << '"';
  }
}

std::string Knob(double value, ValueUnit unit)
{
  char text[64];
  FormatKnobValue(value, unit, text, sizeof text);
  return text;
}

void ExpectFormats()
{
  EXPECT_EQ(Knob(999.6, ValueUnit::kHertz), "1000 Hz"); // kHz is chosen before rounding
  EXPECT_EQ(Knob(1000.0, ValueUnit::kHertz), "1.0 kHz");
  EXPECT_EQ(Knob(18500.0, ValueUnit::kHertz), "18.5 kHz");
  EXPECT_EQ(Knob(8.0, ValueUnit::kDecibel), "8.0 dB");
  EXPECT_EQ(Knob(-3.25, ValueUnit::kDecibel), "-3.2 dB");
  EXPECT_EQ(Knob(49.6, ValueUnit::kPercent), "50 %");
  char text[64];
  FormatEntryNumber(1.5, text, sizeof text);
  EXPECT_STREQ(text, "1.5");
  FormatEntryNumber(123.456789012, text, sizeof text);
  EXPECT_STREQ(text, "123.45679");
  char tiny[4];
  FormatKnobValue(-12.5, ValueUnit::kDecibel, tiny, sizeof tiny);
  EXPECT_STREQ(tiny, "-12"); // cut, terminated
}

TEST(EditorValueText, TypedValuesAndTexts)
{
  ExpectParseTable();
  ExpectFormats();
}

// A host may switch the shared C runtime to a locale whose decimal mark is a comma.
TEST(EditorValueText, CommaLocaleChangesNothing)
{
  const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "German_Germany.1252", "de-DE"};
#ifdef QUORVEL_TEST_LOCALE_DIR
  setenv("LOCPATH", QUORVEL_TEST_LOCALE_DIR, 1); // the comma locale made into the build tree
#endif
  const char* set = nullptr;
  for (const char* name : names)
    if ((set = std::setlocale(LC_ALL, name))) break;
  if (!set) GTEST_SKIP() << "no comma locale installed";
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.1f", 1.5);
  ASSERT_STREQ(probe, "1,5") << "the locale set has no comma decimal mark";
  ExpectParseTable();
  ExpectFormats();
  std::setlocale(LC_ALL, "C");
}

} // namespace
} // namespace quorvel
