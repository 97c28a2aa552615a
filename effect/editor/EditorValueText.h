#pragma once
// Value texts of the knobs: what the value box shows and what a typed entry means. Numbers are read and
// written as decimals in the C locale whatever locale the host process has set, so a host that switches
// the shared C runtime to a comma locale neither turns "1.5" into 1 nor shows "8,0 dB".

#include <cstddef>

namespace iplug
{
class IParam;
}

namespace quorvel
{

enum class ValueUnit
{
  kPercent,
  kDecibel,
  kHertz,
};

// From the parameter's own unit label.
ValueUnit UnitOfParam(const iplug::IParam& param);

// A typed value in parameter units: a decimal number (leading blanks and a sign allowed; hex, infinity
// and NaN are not numbers here) and a suffix the unit allows, compared without case or blanks: "k" and
// "khz" multiply by 1000 and "hz" keeps the value for frequencies, "db" for levels, "%" for the rest.
// False, with value untouched, for anything else.
bool ParseTypedValue(const char* text, ValueUnit unit, double& value);

// The value box text, e.g. "1.5 kHz", "840 Hz", "-3.0 dB", "50 %". The kHz form is chosen before the
// number is rounded, so 999.6 shows as "1000 Hz".
void FormatKnobValue(double value, ValueUnit unit, char* out, size_t size);

// Fixed-point with the given decimals, e.g. the meters' "-12.5".
void FormatFixed(double value, int decimals, char* out, size_t size);

// Up to eight significant digits, as the entry field starts with.
void FormatEntryNumber(double value, char* out, size_t size);

} // namespace quorvel
