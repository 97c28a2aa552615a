#include "framework/core/IParam.h"

#include "framework/core/NegativeZeroText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace iplug
{
namespace
{
// Texts are cut rather than overrun when a caller passes more than the field holds.
void CopyParamText(char (&dest)[kMaxParamText + 1], const char* src)
{
  size_t n = 0;
  if (src)
    while (n < kMaxParamText && src[n] != '\0')
      ++n;
  if (n) std::memcpy(dest, src, n);
  dest[n] = '\0';
}

// Halves go away from zero (2.5 -> 3, -2.5 -> -3), unlike the FPU's default ties-to-even.
double RoundHalfAway(double v)
{
  return std::round(v);
}

int32_t ToInt32Saturated(double v)
{
  if (!(v == v)) return 0;
  if (v >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  if (v <= static_cast<double>(std::numeric_limits<int32_t>::min()))
    return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

// Reads the leading decimal number of a text like strtod does, but always with "." as the
// decimal point: hosts may switch the process locale, and a display must parse back the
// same in any of them. False when the text does not start with a number; `end` gets the first
// character after the number.
bool ParseLeadingNumber(const char* text, double& out, const char** endOut = nullptr)
{
  if (!text) return false;
  const char* p = text;
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v')
    ++p;
  bool negative = false;
  if (*p == '+' || *p == '-')
  {
    negative = (*p == '-');
    ++p;
  }
  if (*p == '+' || *p == '-') // a second sign is not a number (from_chars would take "-" itself)
    return false;
  const char* end = p + std::strlen(p);
  double v = 0.0;
  const auto [ptr, ec] = std::from_chars(p, end, v, std::chars_format::general);
  if (ec == std::errc::result_out_of_range)
  {
    // Too large gives infinity (later clamped to the range), too small gives zero.
    const char* e = std::find_if(p, ptr, [](char c) { return c == 'e' || c == 'E'; });
    const bool tinyExponent = (e != ptr && e + 1 != ptr && e[1] == '-');
    v = tinyExponent ? 0.0 : std::numeric_limits<double>::infinity();
  }
  else if (ec != std::errc())
    return false;
  out = negative ? -v : v;
  if (endOut) *endOut = ptr;
  return true;
}

// The whole text (surrounding white space aside) is one number.
bool ParseWholeText(const char* text, double& out)
{
  const char* end = nullptr;
  if (!ParseLeadingNumber(text, out, &end)) return false;
  while (*end == ' ' || *end == '\t' || *end == '\n' || *end == '\r')
    ++end;
  return *end == '\0';
}
} // namespace

double IParam::ShapeLinear::ValueFromNormalized(double normalized, const IParam& param) const
{
  return (param.GetMax() - param.GetMin()) * normalized + param.GetMin();
}

double IParam::ShapeLinear::NormalizedFromValue(double value, const IParam& param) const
{
  return (value - param.GetMin()) / (param.GetMax() - param.GetMin());
}

int IParam::ShapePowCurve::DisplayCurveHint() const
{
  if (mExponent > 2.5) return 6;
  if (mExponent > 1.5) return 4;
  if (mExponent < 0.4) return 5;
  if (mExponent < 2.0 / 3.0) return 3;
  return 0;
}

double IParam::ShapePowCurve::ValueFromNormalized(double normalized, const IParam& param) const
{
  return std::pow(normalized, mExponent) * (param.GetMax() - param.GetMin()) + param.GetMin();
}

double IParam::ShapePowCurve::NormalizedFromValue(double value, const IParam& param) const
{
  return std::pow((value - param.GetMin()) / (param.GetMax() - param.GetMin()), 1.0 / mExponent);
}

IParam::IParam() : mShape(new ShapeLinear) {}

IParam::~IParam()
{
  delete mShape;
}

void IParam::ConfigureDouble(const char* name, double defaultValue, double minValue, double maxValue,
                             double step, const char* label, int flags, const char* group, const Shape& shape,
                             int unit, DisplayFunc displayFunc)
{
  if (mType == kTypeNone) mType = kTypeDouble;
  CopyParamText(mName, name);
  CopyParamText(mLabel, label);
  CopyParamText(mGroup, group);

  mMin = minValue;
  mMax = std::max(maxValue, minValue + step);
  mStep = step;
  mDefault = defaultValue;
  mUnit = unit;
  mFlags = flags;
  mDisplayFunc = std::move(displayFunc);

  mValue.exchange(Constrain(defaultValue));

  // Decimals needed to show one step: 1 -> 0, 0.1 -> 1, 0.25 -> 2, at most 6.
  mPrecision = 0;
  double s = step;
  while (mPrecision <= 5 && std::floor(s) != s)
  {
    ++mPrecision;
    s *= 10.0;
  }

  Shape* newShape = shape.Clone();
  delete mShape;
  mShape = newShape;
  mShape->Init(*this);
}

void IParam::ConfigureEnum(const char* name, int defaultValue, std::initializer_list<const char*> texts,
                           int flags, const char* group)
{
  if (mType == kTypeNone) mType = kTypeEnum;
  const int count = static_cast<int>(texts.size());
  ConfigureDouble(name, defaultValue, 0.0, count - 1, 1.0, "", flags | kFlagStepped, group, ShapeLinear(),
                  kDefaultParamUnit, nullptr);
  int i = 0;
  for (const char* text : texts)
    AddCaption(i++, text);
}

void IParam::ConfigureEnumWithTexts(const char* name, int defaultValue, int count, const char* label,
                                    int flags, const char* group, const char* const* texts, int nTexts)
{
  if (mType == kTypeNone) mType = kTypeEnum;
  ConfigureDouble(name, defaultValue, 0.0, count - 1, 1.0, label, flags | kFlagStepped, group, ShapeLinear(),
                  kDefaultParamUnit, nullptr);
  if (texts[0] == nullptr) return;
  // Never reads past the texts actually given, whatever the count says.
  for (int i = 0; i < count && i < nTexts; ++i)
    AddCaption(i, texts[i] ? texts[i] : "");
}

void IParam::ConfigureBool(const char* name, bool defaultValue, const char* label, int flags,
                           const char* group, const char* offText, const char* onText)
{
  if (mType == kTypeNone) mType = kTypeBool;
  ConfigureEnum(name, defaultValue ? 1 : 0, 2, label, flags, group, nullptr);
  AddCaption(0.0, offText);
  AddCaption(1.0, onText);
}

void IParam::AddCaption(double value, const char* text)
{
  const int count = CaptionCount();
  const int newSize = (count + 1) * static_cast<int>(sizeof(IValueCaption));
  auto* captions = static_cast<IValueCaption*>(mCaptions.ResizeHeapBuffer(newSize, false));
  if (!captions || mCaptions.GetSize() != newSize) return;
  IValueCaption& caption = captions[count];
  caption.value = value;
  CopyParamText(caption.text, text);
}

int IParam::CaptionCount() const
{
  return mCaptions.GetSize() / static_cast<int>(sizeof(IValueCaption));
}

const IValueCaption* IParam::GetCaption(int index) const
{
  if (index < 0 || index >= CaptionCount()) return nullptr;
  return static_cast<const IValueCaption*>(mCaptions.GetData()) + index;
}

const char* IParam::FindCaption(double value) const
{
  const int count = CaptionCount();
  for (int i = 0; i < count; ++i)
  {
    const IValueCaption* caption = GetCaption(i);
    if (caption->value == value) return caption->text;
  }
  return "";
}

double IParam::Constrain(double value) const
{
  double v = value;
  if ((mFlags & kFlagStepped) && mStep > 0.0) // a zero step would turn every value into NaN
    v = RoundHalfAway(v / mStep) * mStep;
  // Written so that NaN falls to the minimum instead of passing through.
  v = (v > mMin) ? v : mMin;
  return (v < mMax) ? v : mMax;
}

double IParam::FromNormalized(double normalized) const
{
  // Clamped before the shape: an even power curve would turn -1 into the top of the range. NaN gives 0.
  const double n = normalized > 0.0 ? (normalized < 1.0 ? normalized : 1.0) : 0.0;
  return Constrain(mShape->ValueFromNormalized(n, *this));
}

double IParam::ToNormalized(double value) const
{
  const double n = mShape->NormalizedFromValue(Constrain(value), *this);
  return std::clamp(n, 0.0, 1.0);
}

double IParam::GetDefault(bool normalized) const
{
  return normalized ? ToNormalized(mDefault) : mDefault;
}

void IParam::FormatDisplay(double value, bool normalized, TextBuffer& display, bool withCaptions) const
{
  if (normalized) value = FromNormalized(value);

  if (mDisplayFunc)
  {
    mDisplayFunc(value, display);
    return;
  }

  if (withCaptions)
  {
    const int count = CaptionCount();
    for (int i = 0; i < count; ++i)
    {
      const IValueCaption* caption = GetCaption(i);
      if (caption->value == value)
      {
        if (caption->text[0] != '\0')
        {
          display.AssignText(caption->text, kMaxParamText);
          return;
        }
        break;
      }
    }
  }

  double v = (mFlags & kFlagNegateDisplay) ? -value : value;
  if (v == 0.0) v = 0.0; // never "-0"

  // Formatted without the C locale's help: a host that switched the process locale must
  // not turn "0.5" into "0,5" (which would then not parse back).
  constexpr int kMaxDisplay = 32;
  char text[64];
  char* const end = text + kMaxDisplay;
  std::to_chars_result result;
  if (mPrecision == 0)
  {
    const double rounded = RoundHalfAway(v);
    result = std::to_chars(text, end, ToInt32Saturated(rounded));
  }
  else
  {
    char* p = text;
    if ((mFlags & kFlagSignDisplay) && v > 0.0) *p++ = '+';
    result = std::to_chars(p, end, v, std::chars_format::fixed, mPrecision);
  }
  if (result.ec != std::errc())
  {
    // Wider than the display holds (a huge value shown with decimals): show it in exponent form.
    result = std::to_chars(text, end, v, std::chars_format::scientific, mPrecision);
    if (result.ec != std::errc()) result.ptr = text;
  }
  *result.ptr = '\0';
  // A small negative value rounded to zero shows as zero, without its sign.
  display.AssignText(WithoutNegativeZero(text), kMaxDisplay);
}

const char* IParam::DisplayLabel() const
{
  const double truncated = std::trunc(Value());
  const int count = CaptionCount();
  for (int i = 0; i < count; ++i)
  {
    const IValueCaption* caption = GetCaption(i);
    if (caption->value == truncated) return caption->text[0] != '\0' ? "" : mLabel;
  }
  return mLabel;
}

double IParam::TextToValue(const char* text) const
{
  const int count = CaptionCount();
  for (int i = 0; text && i < count; ++i)
  {
    const IValueCaption* caption = GetCaption(i);
    if (std::strcmp(caption->text, text) == 0) return caption->value;
  }
  if (mType == kTypeBool || mType == kTypeEnum) return 0.0;
  double v = 0.0;
  ParseLeadingNumber(text, v);
  if (mFlags & kFlagNegateDisplay) v = -v;
  return Constrain(v);
}

bool IParam::TryTextToValue(const char* text, double& value) const
{
  if (!text) return false;
  const int count = CaptionCount();
  for (int i = 0; i < count; ++i)
  {
    const IValueCaption* caption = GetCaption(i);
    if (std::strcmp(caption->text, text) == 0)
    {
      value = caption->value;
      return true;
    }
  }

  double v = 0.0;
  if (mType == kTypeBool || mType == kTypeEnum)
  {
    // A list or switch also takes its index, as hosts type it.
    if (!ParseWholeText(text, v) || v != std::floor(v) || v < mMin || v > mMax) return false;
    value = v;
    return true;
  }

  if (!ParseLeadingNumber(text, v)) return false;
  if (mFlags & kFlagNegateDisplay) v = -v;
  value = Constrain(v);
  return true;
}
} // namespace iplug
