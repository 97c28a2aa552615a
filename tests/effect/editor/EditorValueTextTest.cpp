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
    {"1.5k", ValueUnit::kHertz, true, 1500.0},        {"1.5 kHz", ValueUnit::kHertz, true, 1500.0},
    {"1500", ValueUnit::kHertz, true, 1500.0},        {"1500hz", ValueUnit::kHertz, true, 1500.0},
    {" 1.5 K h Z ", ValueUnit::kHertz, true, 1500.0}, {"1.5", ValueUnit::kHertz, true, 1.5},
    {"-3 dB", ValueUnit::kDecibel, true, -3.0},       {"-3db", ValueUnit::kDecibel, true, -3.0},
    {"+2.25DB", ValueUnit::kDecibel, true, 2.25},     {"50%", ValueUnit::kPercent, true, 50.0},
    {"50 dB", ValueUnit::kPercent, false, 0.0},       {"3 hz", ValueUnit::kDecibel, false, 0.0},
    {"12abc", ValueUnit::kHertz, false, 0.0},         {"12abc", ValueUnit::kDecibel, false, 0.0},
    {"12abc", ValueUnit::kPercent, false, 0.0},       {"", ValueUnit::kPercent, false, 0.0},
    {"dB", ValueUnit::kDecibel, false, 0.0},          {"0x10", ValueUnit::kPercent, false, 0.0},
    {"inf", ValueUnit::kPercent, false, 0.0},         {"nan", ValueUnit::kPercent, false, 0.0},
    {"1e400", ValueUnit::kPercent, false, 0.0},       {"1e306k", ValueUnit::kHertz, false, 0.0},
    {"1,5", ValueUnit::kPercent, false, 0.0},         {"--1", ValueUnit::kPercent, false, 0.0},
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

  // Values that round to zero from below read as zero, as the parameters' own texts do; the next
  // step down keeps its sign.
  struct NearZero
  {
    double value;
    ValueUnit unit;
    const char* text;
  };
  const NearZero kNearZero[] = {
      {-0.4, ValueUnit::kPercent, "0 %"},      {-0.5, ValueUnit::kPercent, "0 %"},
      {-0.0, ValueUnit::kPercent, "0 %"},      {-0.6, ValueUnit::kPercent, "-1 %"},
      {-0.04, ValueUnit::kDecibel, "0.0 dB"},  {-1e-9, ValueUnit::kDecibel, "0.0 dB"},
      {-0.06, ValueUnit::kDecibel, "-0.1 dB"}, {-0.0, ValueUnit::kHertz, "0 Hz"},
  };
  for (const NearZero& c : kNearZero)
    EXPECT_EQ(Knob(c.value, c.unit), c.text) << c.value;
  char text[16];
  FormatFixed(-0.04, 1, text, sizeof text); // the meters' dB figure
  EXPECT_STREQ(text, "0.0");
  FormatEntryNumber(-0.0, text, sizeof text);
  EXPECT_STREQ(text, "0");
  FormatEntryNumber(-1e-9, text, sizeof text);
  EXPECT_STREQ(text, "-1e-09");
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
