#pragma once
// What a key message types, from the UTF-16 units ToUnicode produced. One character (a surrogate pair is
// one) or none becomes the key stroke's text; more than one character cannot travel in a key stroke, so
// that key goes on to the root window instead.

#include <cstdint>

namespace iplug::igraphics
{

struct KeyText
{
  bool toRootWindow = false;
  char utf8[5] = {};
};

// count as ToUnicode returns it: negative for a dead key (no text yet), 0 for none.
KeyText KeyTextFromUnicode(int count, const char16_t* units);

} // namespace iplug::igraphics
