#include "effect/editor/EditorValueText.h"

#include "framework/core/IParam.h"
#include "framework/core/NegativeZeroText.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

namespace quorvel
{

namespace
{

bool IsBlank(char c)
{
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
  return c >= '0' && c <= '9';
}

// The number in [begin, end) followed by the tail, cut to the output. A number rounded to zero from
// below loses its minus here, as the parameters' own display texts do.
void CopyOut(const char* begin, const char* end, const char* tail, char* out, size_t size)
{
  if (!out || size == 0) return;
  std::string text(begin, end);
  text = iplug::WithoutNegativeZero(text.c_str());
  text += tail;
  std::strncpy(out, text.c_str(), size - 1);
  out[size - 1] = '\0';
}

} // namespace

ValueUnit UnitOfParam(const iplug::IParam& param)
{
  const char* label = param.GetLabel();
  if (std::strcmp(label, "Hz") == 0) return ValueUnit::kHertz;
  if (std::strcmp(label, "dB") == 0) return ValueUnit::kDecibel;
  return ValueUnit::kPercent;
}

bool ParseTypedValue(const char* text, ValueUnit unit, double& value)
{
  if (!text) return false;
  const char* p = text;
  const char* end = text + std::strlen(text);
  while (p < end && IsBlank(*p))
    ++p;
  const bool negative = p < end && *p == '-';
  if (p < end && (*p == '-' || *p == '+')) ++p;
  // Only digits or a decimal point may start the number: "inf", "nan" and a second sign are text.
  if (!(p < end && (IsDigit(*p) || (*p == '.' && p + 1 < end && IsDigit(p[1]))))) return false;

  double number = 0.0;
  const std::from_chars_result read = std::from_chars(p, end, number, std::chars_format::general);
  if (read.ec != std::errc() || !std::isfinite(number)) return false;
  if (negative) number = -number;

  std::string suffix;
  for (const char* s = read.ptr; s < end; ++s)
    if (!IsBlank(*s)) suffix += (*s >= 'A' && *s <= 'Z') ? static_cast<char>(*s - 'A' + 'a') : *s;

  switch (unit)
  {
  case ValueUnit::kHertz:
    if (suffix == "k" || suffix == "khz")
      number *= 1000.0;
    else if (!suffix.empty() && suffix != "hz")
      return false;
    break;
  case ValueUnit::kDecibel:
    if (!suffix.empty() && suffix != "db") return false;
    break;
  case ValueUnit::kPercent:
    if (!suffix.empty() && suffix != "%") return false;
    break;
  }
  if (!std::isfinite(number)) return false;
  value = number;
  return true;
}

void FormatFixed(double value, int decimals, char* out, size_t size)
{
  char buffer[400];
  const std::to_chars_result r =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  CopyOut(buffer, r.ec == std::errc() ? r.ptr : buffer, "", out, size);
}

void FormatKnobValue(double value, ValueUnit unit, char* out, size_t size)
{
  char number[400];
  const char* tail = "";
  std::to_chars_result r{number, std::errc()};
  switch (unit)
  {
  case ValueUnit::kHertz:
    if (value >= 1000.0)
    {
      r = std::to_chars(number, number + sizeof number, value / 1000.0, std::chars_format::fixed, 1);
      tail = " kHz";
    }
    else
    {
      r = std::to_chars(number, number + sizeof number, value, std::chars_format::fixed, 0);
      tail = " Hz";
    }
    break;
  case ValueUnit::kDecibel:
    r = std::to_chars(number, number + sizeof number, value, std::chars_format::fixed, 1);
    tail = " dB";
    break;
  case ValueUnit::kPercent:
    r = std::to_chars(number, number + sizeof number, value, std::chars_format::fixed, 0);
    tail = " %";
    break;
  }
  CopyOut(number, r.ec == std::errc() ? r.ptr : number, tail, out, size);
}

void FormatEntryNumber(double value, char* out, size_t size)
{
  char number[64];
  const std::to_chars_result r =
      std::to_chars(number, number + sizeof number, value, std::chars_format::general, 8);
  CopyOut(number, r.ec == std::errc() ? r.ptr : number, "", out, size);
}

} // namespace quorvel
