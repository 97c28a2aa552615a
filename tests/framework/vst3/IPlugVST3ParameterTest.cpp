#include "framework/vst3/IPlugVST3Parameter.h"
#include "framework/vst3/Vst3Strings.h"

#include "pluginterfaces/base/ustring.h"

#include <gtest/gtest.h>

#include <string>

using namespace iplug;
using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{
std::u16string Text(const TChar* s)
{
  return std::u16string(reinterpret_cast<const char16_t*>(s));
}

struct Params
{
  Params()
  {
    model.ConfigureEnum("Saturation Model", 2,
                        {"Tube", "Transformer", "Tape", "Germanium Fuzz", "Silicon Fuzz", "Diode Clip"});
    bypass.ConfigureBool("Bypass", false, "", 0, "", "off", "on");
    drive.ConfigureDouble("Drive", 6.0, 0.0, 24.0, 0.1, "dB");
    fixed.ConfigureDouble("Fixed", 0.5, 0.0, 1.0, 0.01, "", kFlagCannotAutomate);
  }
  IParam model, bypass, drive, fixed;
};
} // namespace

TEST(IPlugVST3Parameter, DescribesEachKindOfParameterToTheHost)
{
  Params p;
  auto* model = new IPlugVST3Parameter(&p.model, false, 0x0633FB29, 0);
  const ParameterInfo& m = model->getInfo();
  EXPECT_EQ(m.id, 0x0633FB29u);
  EXPECT_EQ(Text(m.title), u"Saturation Model");
  EXPECT_EQ(Text(m.shortTitle), u"");
  EXPECT_EQ(m.stepCount, 5);
  EXPECT_EQ(m.flags, ParameterInfo::kCanAutomate | ParameterInfo::kIsList);
  EXPECT_DOUBLE_EQ(m.defaultNormalizedValue, 0.4);
  EXPECT_DOUBLE_EQ(model->getNormalized(), 0.4);

  auto* bypass = new IPlugVST3Parameter(&p.bypass, true, 0x2E186CE8, 0);
  EXPECT_EQ(bypass->getInfo().stepCount, 1);
  EXPECT_EQ(bypass->getInfo().flags, ParameterInfo::kCanAutomate | ParameterInfo::kIsBypass);
  EXPECT_EQ(bypass->getInfo().flags & ParameterInfo::kIsList, 0);

  auto* drive = new IPlugVST3Parameter(&p.drive, false, 7, 3);
  EXPECT_EQ(drive->getInfo().stepCount, 0);
  EXPECT_EQ(Text(drive->getInfo().units), u"dB");
  EXPECT_EQ(drive->getInfo().unitId, 3);
  EXPECT_DOUBLE_EQ(drive->getInfo().defaultNormalizedValue, 0.25);

  auto* fixed = new IPlugVST3Parameter(&p.fixed, false, 8, 0);
  EXPECT_EQ(fixed->getInfo().flags, 0) << "a parameter that cannot be automated says so";

  EXPECT_STREQ(model->isA(), "IPlugVST3Parameter");
  EXPECT_TRUE(model->isTypeOf("Parameter", true));
  EXPECT_FALSE(model->isTypeOf("Parameter", false));
  for (auto* obj : {model, bypass, drive, fixed})
    obj->release();
}

TEST(IPlugVST3Parameter, ShowsReadsAndShapesValuesThroughTheFrameworkParameter)
{
  Params p;
  IPtr<IPlugVST3Parameter> model = owned(new IPlugVST3Parameter(&p.model, false, 1, 0));
  IPtr<IPlugVST3Parameter> drive = owned(new IPlugVST3Parameter(&p.drive, false, 2, 0));

  String128 out;
  model->toString(1.0, out);
  EXPECT_EQ(Text(out), u"Diode Clip");
  model->toString(0.2, out);
  EXPECT_EQ(Text(out), u"Transformer");

  ParamValue normalized = -1.0;
  EXPECT_TRUE(model->fromString(STR16("Tape"), normalized));
  EXPECT_DOUBLE_EQ(normalized, 0.4);
  EXPECT_TRUE(drive->fromString(STR16("12"), normalized));
  EXPECT_DOUBLE_EQ(normalized, 0.5);
  EXPECT_TRUE(drive->fromString(STR16("100"), normalized));
  EXPECT_DOUBLE_EQ(normalized, 1.0) << "out-of-range text is held to the range";
  normalized = 0.25;
  EXPECT_FALSE(model->fromString(STR16("garbage"), normalized)) << "not the first model";
  EXPECT_FALSE(drive->fromString(STR16("loud"), normalized));
  EXPECT_EQ(normalized, 0.25) << "refused text changes nothing";
  EXPECT_TRUE(model->fromString(STR16("5"), normalized));
  EXPECT_DOUBLE_EQ(normalized, 1.0) << "a list reads its index";

  // The enum snaps to whole models; the double is shaped and held to its range.
  EXPECT_DOUBLE_EQ(model->toPlain(0.5), 3.0);
  EXPECT_DOUBLE_EQ(model->toNormalized(3.0), 0.6);
  EXPECT_DOUBLE_EQ(drive->toPlain(0.5), 12.0);
  EXPECT_DOUBLE_EQ(drive->toNormalized(48.0), 1.0);

  // A host text without terminator is read no further than the 128 units it may hold.
  TChar unterminated[200];
  for (TChar& c : unterminated)
    c = u'7';
  EXPECT_TRUE(drive->fromString(unterminated, normalized));
  EXPECT_DOUBLE_EQ(normalized, 1.0);
}

TEST(Vst3Strings, ConvertWithinTheirBuffersAndAlwaysTerminate)
{
  TChar wide[8];
  WidenAscii("Quorvel Extra", wide, 8);
  EXPECT_EQ(Text(wide), u"Quorvel");
  WidenAscii(nullptr, wide, 8);
  EXPECT_EQ(wide[0], 0);

  char narrow[6];
  NarrowToAscii(STR16("Mixbus 9"), narrow, 6);
  EXPECT_STREQ(narrow, "Mixbu");
  const TChar accented[] = {u'R', 0x00E9, 0x4E2D, 0};
  NarrowToAscii(accented, narrow, 6);
  EXPECT_EQ(std::string(narrow), std::string("R\xE9\x2D"));

  const TChar text[] = {u'a', 0x00E9, 0x20AC, 0xD83D, 0xDE00, 0xDC00, u'z', 0};
  EXPECT_EQ(Utf16ToUtf8(text, 128), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBDz");
  EXPECT_EQ(Utf16ToUtf8(text, 1), "a");
  // A high surrogate cut off by the bound is not paired with what lies beyond it.
  EXPECT_EQ(Utf16ToUtf8(text, 4), "a\xC3\xA9\xE2\x82\xAC\xEF\xBF\xBD");
  EXPECT_EQ(Utf16ToUtf8(nullptr, 10), "");
}
