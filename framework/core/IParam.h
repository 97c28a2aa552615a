#pragma once

#include "framework/core/ChangeSource.h"
#include "framework/core/HeapBuffer.h"
#include "framework/core/TextBuffer.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>

namespace iplug
{
enum ParamType : int32_t
{
  kTypeNone = 0,
  kTypeBool = 1,
  kTypeEnum = 3,
  kTypeDouble = 4,
};

enum ParamFlags : int32_t
{
  kFlagsNone = 0,
  kFlagCannotAutomate = 1,
  kFlagStepped = 2,       // values snap to multiples of the step
  kFlagNegateDisplay = 4, // shown and parsed with the opposite sign
  kFlagSignDisplay = 8,   // "+" before positive values
};

// The unit code every parameter carries unless its double configuration names another.
constexpr int32_t kDefaultParamUnit = 21;

// Longest name, label, group or caption text kept (plus the terminator).
constexpr int kMaxParamText = 31;

struct IValueCaption
{
  double value;
  char text[kMaxParamText + 1];
};

// One plug-in parameter. Only the value is shared between threads (editor, host and audio
// thread read and write it concurrently); everything else is set while the plug-in is
// constructed and read-only afterwards.
class IParam
{
public:
  // Maps the normalised range 0..1 that hosts and editors use to parameter units and back.
  class Shape
  {
  public:
    virtual ~Shape() = default;
    virtual Shape* Clone() const = 0;
    virtual void Init(IParam& param) { (void)param; }
    // A code a consumer may use to pick a curve for its display (0 none, 3..6 curve kinds).
    virtual int DisplayCurveHint() const = 0;
    virtual double ValueFromNormalized(double normalized, const IParam& param) const = 0;
    virtual double NormalizedFromValue(double value, const IParam& param) const = 0;
  };

  class ShapeLinear : public Shape
  {
  public:
    Shape* Clone() const override { return new ShapeLinear; }
    int DisplayCurveHint() const override { return 0; }
    double ValueFromNormalized(double normalized, const IParam& param) const override;
    double NormalizedFromValue(double value, const IParam& param) const override;
  };

  // value = min + (max - min) * n^e; an exponent above 1 spreads the low end of the range.
  class ShapePowCurve : public Shape
  {
  public:
    explicit ShapePowCurve(double exponent) : mExponent(exponent) {}
    Shape* Clone() const override { return new ShapePowCurve(mExponent); }
    int DisplayCurveHint() const override;
    double ValueFromNormalized(double normalized, const IParam& param) const override;
    double NormalizedFromValue(double value, const IParam& param) const override;
    double GetExponent() const { return mExponent; }

  private:
    double mExponent;
  };

  // Replaces the numeric display entirely: receives the value in parameter units.
  using DisplayFunc = std::function<void(double value, TextBuffer& display)>;

  IParam();
  ~IParam();
  IParam(const IParam&) = delete;
  IParam& operator=(const IParam&) = delete;

  void ConfigureDouble(const char* name, double defaultValue = 0.0, double minValue = 0.0,
                       double maxValue = 1.0, double step = 1.0, const char* label = "", int flags = 0,
                       const char* group = "", const Shape& shape = ShapeLinear(),
                       int unit = kDefaultParamUnit, DisplayFunc displayFunc = nullptr);

  // One caption per text, values 0 .. count - 1.
  void ConfigureEnum(const char* name, int defaultValue, std::initializer_list<const char*> texts,
                     int flags = 0, const char* group = "");

  // Captions come from the texts that follow; a null first text adds none.
  template <typename... Texts>
  void ConfigureEnum(const char* name, int defaultValue, int count, const char* label, int flags,
                     const char* group, const char* firstText, Texts... furtherTexts)
  {
    const char* texts[] = {firstText, static_cast<const char*>(furtherTexts)...};
    ConfigureEnumWithTexts(name, defaultValue, count, label, flags, group, texts,
                           static_cast<int>(sizeof...(furtherTexts)) + 1);
  }

  void ConfigureBool(const char* name, bool defaultValue, const char* label = "", int flags = 0,
                     const char* group = "", const char* offText = "off", const char* onText = "on");

  void AddCaption(double value, const char* text);
  int CaptionCount() const;
  const IValueCaption* GetCaption(int index) const;
  // Text of the first caption whose value equals `value` exactly, else "".
  const char* FindCaption(double value) const;

  double Constrain(double value) const;
  double FromNormalized(double normalized) const;
  double ToNormalized(double value) const;

  double Value() const { return mValue.load(); }
  double GetNormalized() const { return ToNormalized(Value()); }
  void Set(double value) { mValue.exchange(Constrain(value)); }
  void SetNormalized(double normalized) { mValue.exchange(FromNormalized(normalized)); }
  double GetDefault(bool normalized = false) const;

  void FormatDisplay(double value, bool normalized, TextBuffer& display, bool withCaptions = true) const;
  // Label to show after the display text: none when the value has a caption of its own.
  const char* DisplayLabel() const;
  // Text to value: a caption's value, else for a list or switch 0, else the leading number (with "."
  // as decimal point, any locale; none reads as 0), constrained.
  double TextToValue(const char* text) const;
  // Text a host typed: a caption's value, a number as above, or for a list or switch a whole number
  // within its range as its index. False, with value untouched, for text that is none of these.
  bool TryTextToValue(const char* text, double& value) const;

  const char* GetName() const { return mName; }
  const char* GetLabel() const { return mLabel; }
  const char* GetGroup() const { return mGroup; }
  ParamType Type() const { return mType; }
  int GetFlags() const { return mFlags; }
  double GetMin() const { return mMin; }
  double GetMax() const { return mMax; }
  double GetStep() const { return mStep; }
  int GetPrecision() const { return mPrecision; }
  int GetUnit() const { return mUnit; }
  int GetDisplayCurveHint() const { return mShape->DisplayCurveHint(); }
  const Shape& GetShape() const { return *mShape; }

private:
  void ConfigureEnumWithTexts(const char* name, int defaultValue, int count, const char* label, int flags,
                              const char* group, const char* const* texts, int nTexts);

  ParamType mType = kTypeNone;
  int32_t mUnit = kDefaultParamUnit;
  std::atomic<double> mValue{0.0};
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mDefault = 0.0;
  int32_t mPrecision = 0;
  int32_t mFlags = 0;
  char mName[kMaxParamText + 1] = {};
  char mLabel[kMaxParamText + 1] = {};
  char mGroup[kMaxParamText + 1] = {};
  Shape* mShape;
  DisplayFunc mDisplayFunc;
  HeapBuffer mCaptions{4096};
};
} // namespace iplug
