#pragma once

#include "framework/core/TextBuffer.h"

#include <cstdint>

// Finds pictures, SVG documents and fonts that travel inside the program file or
// the plug-in module (Windows resources of the types "PNG", "SVG", "TTF"; the
// portable embedded store elsewhere), by a file-like name such as
// "Roboto-Regular.ttf", falling back to a file on disk of that name.
namespace iplug
{
enum EResourceLocation : int
{
  kNotFound = 0,
  kAbsolutePath = 1, // a file or folder on disk; the location is the name itself
  kWinBinary = 2,    // embedded in the module; the location is the stored name
};

// `module` is the module whose resources are searched (null: the program itself).
EResourceLocation FindResourceByName(const char* name, const char* type, TextBuffer& location, void* module);

// The bytes of a resource found by FindResourceByName (its stored name), owned by
// the module and valid while it is loaded; null when missing or 7 bytes or fewer.
const void* LoadResourceBytes(const char* storedName, const char* type, int32_t& size, void* module);

namespace detail
{
// The searched form of a name: A-Z lower-cased, nothing else touched.
TextBuffer LowerAscii(const char* text);
// True when `stored` (quote marks around it) names `searched` (lower case).
bool StoredNameMatches(const char* stored, const char* searched);
bool PathExists(const char* path);
} // namespace detail
} // namespace iplug
