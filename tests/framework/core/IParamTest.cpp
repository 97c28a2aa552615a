#include "framework/core/IParam.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

using namespace iplug;

namespace
{
std::string Display(const IParam& p, double value, bool normalized = false, bool withCaptions = true)
{
  TextBuffer text;
  p.FormatDisplay(value, normalized, text, withCaptions);
  return text.Get();
}
} // namespace

TEST(IParamTest, FreshParameterAndDoubleConfiguration)
{
  IParam p;
  EXPECT_EQ(p.Type(), kTypeNone);
  EXPECT_EQ(p.GetUnit(), kDefaultParamUnit);
  EXPECT_EQ(p.GetMin(), 0.0);
  EXPECT_EQ(p.GetMax(), 1.0);
  EXPECT_STREQ(p.GetName(), "");
  EXPECT_EQ(p.CaptionCount(), 0);

  p.ConfigureDouble("Drive", 30.0, 0.0, 20.0, 0.5, "dB", 0, "Input");
  EXPECT_EQ(p.Type(), kTypeDouble);
  EXPECT_STREQ(p.GetName(), "Drive");
  EXPECT_STREQ(p.GetLabel(), "dB");
  EXPECT_STREQ(p.GetGroup(), "Input");
  EXPECT_EQ(p.Value(), 20.0) << "the default is constrained into the range";
  EXPECT_EQ(p.GetDefault(), 30.0) << "the default itself is kept as given";
  EXPECT_EQ(p.GetPrecision(), 1);

  // A maximum below min + step is raised to it.
  IParam narrow;
  narrow.ConfigureDouble("n", 0.0, 5.0, 5.2, 1.0);
  EXPECT_EQ(narrow.GetMax(), 6.0);

  // Texts longer than a field are cut, never overrun.
  IParam longName;
  longName.ConfigureDouble("0123456789012345678901234567890123456789");
  EXPECT_EQ(std::string(longName.GetName()).size(), 31u);
}

TEST(IParamTest, PrecisionFollowsTheStep)
{
  const struct
  {
    double step;
    int precision;
  } cases[] = {{1.0, 0}, {0.1, 1}, {0.25, 2}, {0.01, 2}, {0.001, 3}, {5.0, 0}, {1e-9, 6}};
  for (const auto& c : cases)
  {
    IParam p;
    p.ConfigureDouble("p", 0.0, 0.0, 100.0, c.step);
    EXPECT_EQ(p.GetPrecision(), c.precision) << "step " << c.step;
  }
}

TEST(IParamTest, ConstrainSnapsSteppedValuesHalfAwayFromZero)
{
  IParam half;
  half.ConfigureDouble("h", 0.0, -1.0, 1.0, 0.5, "", kFlagStepped);
  EXPECT_EQ(half.Constrain(0.74), 0.5);
  EXPECT_EQ(half.Constrain(0.75), 1.0);
  EXPECT_EQ(half.Constrain(-0.25), -0.5);
  EXPECT_EQ(half.Constrain(-0.74), -0.5);
  EXPECT_EQ(half.Constrain(7.0), 1.0);
  EXPECT_EQ(half.Constrain(-7.0), -1.0);

  IParam whole;
  whole.ConfigureDouble("w", 0.0, -10.0, 10.0, 1.0, "", kFlagStepped);
  EXPECT_EQ(whole.Constrain(2.5), 3.0) << "not ties-to-even";
  EXPECT_EQ(whole.Constrain(-2.5), -3.0);
  EXPECT_EQ(whole.Constrain(0.5), 1.0);
  EXPECT_EQ(whole.Constrain(-0.5), -1.0);

  // Not stepped: values pass through untouched inside the range.
  IParam smooth;
  smooth.ConfigureDouble("s", 0.0, 0.0, 1.0, 0.5);
  EXPECT_EQ(smooth.Constrain(0.74), 0.74);

  // A host may send NaN; it must not become the parameter's value.
  EXPECT_EQ(smooth.Constrain(std::numeric_limits<double>::quiet_NaN()), 0.0);
  smooth.Set(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(smooth.Value(), 0.0);

  // A zero step with the stepped flag does not turn values into NaN.
  IParam zeroStep;
  zeroStep.ConfigureDouble("z", 0.0, 0.0, 1.0, 0.0, "", kFlagStepped);
  EXPECT_EQ(zeroStep.Constrain(0.3), 0.3);
}

TEST(IParamTest, NormalisationLinearAndPowerCurve)
{
  IParam lin;
  lin.ConfigureDouble("l", 0.0, -20.0, 20.0, 0.1);
  EXPECT_EQ(lin.ToNormalized(-50.0), 0.0) << "constrained before mapping";
  EXPECT_EQ(lin.ToNormalized(50.0), 1.0);
  EXPECT_DOUBLE_EQ(lin.ToNormalized(10.0), 0.75);
  EXPECT_DOUBLE_EQ(lin.FromNormalized(0.25), -10.0);
  EXPECT_EQ(lin.FromNormalized(2.0), 20.0) << "out-of-range normalised values are constrained";

  IParam pow2;
  pow2.ConfigureDouble("p", 100.0, 20.0, 420.0, 0.01, "Hz", 0, "", IParam::ShapePowCurve(2.0));
  EXPECT_DOUBLE_EQ(pow2.FromNormalized(0.5), 20.0 + 0.25 * 400.0);
  EXPECT_DOUBLE_EQ(pow2.ToNormalized(120.0), 0.5);
  EXPECT_DOUBLE_EQ(pow2.GetDefault(true), std::sqrt(80.0 / 400.0));
  EXPECT_EQ(pow2.FromNormalized(-1.0), 20.0) << "clamped before the shape: (-1)^2 is not the top";
  EXPECT_EQ(Display(pow2, -1.0, true), "20.00");
  for (double n = 0.0; n <= 1.0; n += 0.125)
    EXPECT_NEAR(pow2.ToNormalized(pow2.FromNormalized(n)), n, 1e-12) << "n " << n;

  // The shape is copied at configuration: the caller's shape object may go away.
  EXPECT_EQ(pow2.GetDisplayCurveHint(), 4);
  EXPECT_EQ(lin.GetDisplayCurveHint(), 0);

  // Curve hints at their boundaries, tested in order from the steepest.
  const struct
  {
    double exponent;
    int hint;
  } hints[] = {{3.0, 6},  {2.5, 4},       {1.51, 4}, {1.5, 0}, {1.0, 0},
               {0.67, 0}, {2.0 / 3.0, 0}, {0.66, 3}, {0.4, 3}, {0.39, 5}};
  for (const auto& h : hints)
    EXPECT_EQ(IParam::ShapePowCurve(h.exponent).DisplayCurveHint(), h.hint) << "e " << h.exponent;
}

TEST(IParamTest, NumericDisplay)
{
  IParam whole;
  whole.ConfigureDouble("w", 0.0, -10.0, 10.0, 1.0);
  EXPECT_EQ(Display(whole, 2.5), "3");
  EXPECT_EQ(Display(whole, -2.5), "-3");
  EXPECT_EQ(Display(whole, 2.4999), "2");
  EXPECT_EQ(Display(whole, 1e12), "2147483647") << "huge values saturate instead of overflowing";
  EXPECT_EQ(Display(whole, 0.5, true), "0") << "normalised 0.5 is the middle of -10..10";

  IParam negated;
  negated.ConfigureDouble("n", 0.0, -10.0, 10.0, 0.5, "", kFlagNegateDisplay);
  EXPECT_EQ(Display(negated, 0.0), "0.0") << "never -0.0";
  EXPECT_EQ(Display(negated, 1.5), "-1.5");
  EXPECT_EQ(Display(negated, -2.0), "2.0");

  IParam negatedWhole;
  negatedWhole.ConfigureDouble("n", 0.0, -10.0, 10.0, 1.0, "", kFlagNegateDisplay);
  EXPECT_EQ(Display(negatedWhole, 0.0), "0");

  IParam signed1;
  signed1.ConfigureDouble("s", 0.0, -10.0, 10.0, 0.1, "", kFlagSignDisplay);
  EXPECT_EQ(Display(signed1, 2.5), "+2.5");
  EXPECT_EQ(Display(signed1, 0.0), "0.0");
  EXPECT_EQ(Display(signed1, -0.0), "0.0");
  EXPECT_EQ(Display(signed1, -1.0), "-1.0");
  for (double tiny : {-0.04, -1e-9})
    EXPECT_EQ(Display(signed1, tiny), "0.0") << tiny << ": rounded to zero, shown without a sign";
  IParam trim;
  trim.ConfigureDouble("t", 0.0, -24.0, 24.0, 0.01);
  EXPECT_EQ(Display(trim, -0.004), "0.00");

  IParam fine;
  fine.ConfigureDouble("f", 0.0, 0.0, 1e300, 0.001);
  EXPECT_EQ(Display(fine, 0.12351), "0.124");
  const std::string huge = Display(fine, 1e300);
  EXPECT_LE(huge.size(), 32u);
  EXPECT_FALSE(huge.empty());
}

TEST(IParamTest, CaptionsDisplayAndLabel)
{
  IParam p;
  p.ConfigureDouble("Mode", 0.0, 0.0, 4.0, 1.0, "x");
  p.AddCaption(1.0, "One");
  p.AddCaption(1.0, "Uno"); // duplicates allowed: the first wins
  p.AddCaption(2.0, "");    // an empty text means "show the number"
  p.AddCaption(3.0, "Three");
  EXPECT_EQ(p.CaptionCount(), 4);

  EXPECT_EQ(Display(p, 1.0), "One");
  EXPECT_EQ(Display(p, 1.0, false, false), "1");
  EXPECT_EQ(Display(p, 2.0), "2");
  EXPECT_EQ(Display(p, 3.0), "Three");
  EXPECT_EQ(Display(p, 0.0), "0");
  EXPECT_STREQ(p.FindCaption(1.0), "One");
  EXPECT_STREQ(p.FindCaption(1.0000001), "") << "exact equality only";

  // The label is hidden only while the value has a caption with a text.
  p.Set(3.0);
  EXPECT_STREQ(p.DisplayLabel(), "");
  p.Set(2.0);
  EXPECT_STREQ(p.DisplayLabel(), "x");
  p.Set(4.0);
  EXPECT_STREQ(p.DisplayLabel(), "x");

  // A display function replaces everything, captions included, and gets parameter units.
  IParam f;
  f.ConfigureDouble("f", 0.0, 0.0, 10.0, 1.0, "", 0, "", IParam::ShapeLinear(), kDefaultParamUnit,
                    [](double v, TextBuffer& out) { out.SetFormatted(32, "<%g>", v); });
  f.AddCaption(5.0, "Five");
  EXPECT_EQ(Display(f, 5.0), "<5>");
  EXPECT_EQ(Display(f, 0.5, true), "<5>");
}

TEST(IParamTest, EnumAndBoolConfiguration)
{
  IParam e;
  e.ConfigureEnum("Model", 1, {"Tube", "Tape", "Diode"});
  EXPECT_EQ(e.Type(), kTypeEnum);
  EXPECT_EQ(e.GetMax(), 2.0);
  EXPECT_TRUE(e.GetFlags() & kFlagStepped);
  EXPECT_EQ(e.Value(), 1.0);
  EXPECT_EQ(Display(e, 2.0), "Diode");
  EXPECT_DOUBLE_EQ(e.ToNormalized(1.0), 0.5);
  EXPECT_EQ(e.FromNormalized(0.74), 1.0) << "normalised values snap to the nearest entry";
  EXPECT_EQ(e.FromNormalized(0.76), 2.0);

  IParam single;
  single.ConfigureEnum("One", 0, {"Only"});
  EXPECT_EQ(single.GetMax(), 1.0) << "a one-entry enum still spans one step";

  IParam args;
  args.ConfigureEnum("a", 0, 3, "u", 0, "", "A", "B", "C");
  EXPECT_EQ(args.CaptionCount(), 3);
  EXPECT_STREQ(args.GetLabel(), "u");
  EXPECT_STREQ(args.FindCaption(2.0), "C");

  IParam fewerTexts;
  fewerTexts.ConfigureEnum("f", 0, 4, "", 0, "", "A", "B");
  EXPECT_EQ(fewerTexts.CaptionCount(), 2) << "never reads texts that were not given";

  IParam none;
  none.ConfigureEnum("n", 0, 3, "", 0, "", nullptr);
  EXPECT_EQ(none.CaptionCount(), 0);

  IParam b;
  b.ConfigureBool("Bypass", true, "", kFlagCannotAutomate, "", "Off", "On");
  EXPECT_EQ(b.Type(), kTypeBool) << "the first configure operation fixes the kind";
  EXPECT_EQ(b.Value(), 1.0);
  EXPECT_EQ(b.GetFlags(), kFlagCannotAutomate | kFlagStepped);
  EXPECT_EQ(b.CaptionCount(), 2);
  EXPECT_EQ(Display(b, 0.0), "Off");
  EXPECT_EQ(Display(b, 0.3, true), "Off");
  EXPECT_EQ(Display(b, 0.5, true), "On");
}

TEST(IParamTest, TextToValue)
{
  IParam e;
  e.ConfigureEnum("e", 0, {"Low", "Mid", "High"});
  EXPECT_EQ(e.TextToValue("High"), 2.0);
  EXPECT_EQ(e.TextToValue("high"), 0.0) << "captions match case-sensitively";
  EXPECT_EQ(e.TextToValue("2"), 0.0) << "enums do not parse numbers";

  IParam b;
  b.ConfigureBool("b", false, "", 0, "", "Off", "On");
  EXPECT_EQ(b.TextToValue("On"), 1.0);
  EXPECT_EQ(b.TextToValue("yes"), 0.0);

  IParam d;
  d.ConfigureDouble("d", 0.0, -24.0, 24.0, 0.1, "dB");
  EXPECT_DOUBLE_EQ(d.TextToValue("12.5"), 12.5);
  EXPECT_DOUBLE_EQ(d.TextToValue(" -3.25 dB"), -3.25) << "leading numeric part";
  EXPECT_DOUBLE_EQ(d.TextToValue("+4"), 4.0);
  EXPECT_DOUBLE_EQ(d.TextToValue(".5"), 0.5);
  EXPECT_EQ(d.TextToValue("100"), 24.0) << "constrained";
  EXPECT_EQ(d.TextToValue("1e999"), 24.0);
  EXPECT_EQ(d.TextToValue("-1e999"), -24.0);
  EXPECT_EQ(d.TextToValue("1e-999"), 0.0);
  EXPECT_EQ(d.TextToValue("abc"), 0.0);
  EXPECT_EQ(d.TextToValue("--5"), 0.0);
  EXPECT_EQ(d.TextToValue(""), 0.0);
  EXPECT_EQ(d.TextToValue("nan"), -24.0) << "NaN never reaches the value";

  // A double with captions: a caption text gives its value as stored, anything else is parsed.
  d.AddCaption(-24.0, "-inf");
  d.AddCaption(99.0, "beyond");
  EXPECT_EQ(d.TextToValue("-inf"), -24.0);
  EXPECT_EQ(d.TextToValue("beyond"), 99.0) << "caption values are returned unconstrained";
  EXPECT_DOUBLE_EQ(d.TextToValue("-6"), -6.0);

  IParam neg;
  neg.ConfigureDouble("n", 0.0, -10.0, 10.0, 0.1, "", kFlagNegateDisplay);
  EXPECT_DOUBLE_EQ(neg.TextToValue("3"), -3.0);

  // Host text: unreadable text is refused instead of becoming the minimum; lists and switches also
  // take their index.
  IParam plain;
  plain.ConfigureDouble("p", 0.0, -24.0, 24.0, 0.1);
  struct Case
  {
    const IParam* param;
    const char* text;
    bool read;
    double value;
  };
  const Case cases[] = {{&e, "Mid", true, 1},     {&e, "2", true, 2},        {&e, " 0 ", true, 0},
                        {&e, "3", false, 0},      {&e, "1.5", false, 0},     {&e, "-1", false, 0},
                        {&e, "2x", false, 0},     {&e, "garbage", false, 0}, {&b, "1", true, 1},
                        {&b, "On", true, 1},      {&b, "yes", false, 0},     {&plain, "-3 dB", true, -3},
                        {&plain, "99", true, 24}, {&plain, "abc", false, 0}, {&plain, "", false, 0},
                        {&neg, "2", true, -2}};
  for (const Case& c : cases)
  {
    double value = 77.0;
    EXPECT_EQ(c.param->TryTextToValue(c.text, value), c.read) << c.param->GetName() << " '" << c.text << "'";
    EXPECT_DOUBLE_EQ(value, c.read ? c.value : 77.0) << c.param->GetName() << " '" << c.text << "'";
  }
}

TEST(IParamTest, DisplayParsesBackToTheSameDisplay)
{
  IParam tenths;
  tenths.ConfigureDouble("t", 0.0, -24.0, 24.0, 0.1, "", kFlagSignDisplay);
  IParam negated;
  negated.ConfigureDouble("n", 0.0, -60.0, 0.0, 0.01, "", kFlagNegateDisplay);
  IParam curved;
  curved.ConfigureDouble("c", 1000.0, 20.0, 20000.0, 1.0, "Hz", 0, "", IParam::ShapePowCurve(3.0));
  IParam stepped;
  stepped.ConfigureDouble("s", 0.0, 0.0, 10.0, 0.25, "", kFlagStepped);

  for (const IParam* p : {&tenths, &negated, &curved, &stepped})
  {
    for (int i = 0; i <= 200; ++i)
    {
      const double n = i / 200.0;
      const std::string shown = Display(*p, n, true);
      const double parsed = p->TextToValue(shown.c_str());
      EXPECT_EQ(Display(*p, parsed), shown) << p->GetName() << " at " << n;
      EXPECT_NEAR(parsed, p->FromNormalized(n), p->GetStep() / 2.0 + 1e-9) << p->GetName() << " at " << n;
    }
  }
}

TEST(IParamTest, DisplayIgnoresTheProcessLocale)
{
  // Hosts may switch the process locale; displays must still read back.
  IParam p;
  p.ConfigureDouble("p", 0.0, -24.0, 24.0, 0.1, "", kFlagSignDisplay);
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = previous ? previous : "C";
  bool switched = false;
#ifdef QUORVEL_TEST_LOCALE_DIR
  setenv("LOCPATH", QUORVEL_TEST_LOCALE_DIR, 1);
#endif
  for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "German_Germany.1252", "German"})
    if ((switched = std::setlocale(LC_NUMERIC, name) != nullptr)) break;
  if (!switched) GTEST_SKIP() << "no locale with a decimal comma installed";
  const std::string shown = Display(p, 2.5);
  const double parsed = p.TextToValue("2.5");
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_EQ(shown, "+2.5");
  EXPECT_DOUBLE_EQ(parsed, 2.5);
}
