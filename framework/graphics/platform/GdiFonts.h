#pragma once
// GDI's side of fonts (Windows only): font handles by family name, font bytes registered as private
// memory fonts for the life of the process's editors, and the copies of handles the native text field
// takes its font from. Two process-wide caches hold what outlives a load; where both locks are held, the
// memory-font lock is taken first.

#include "framework/graphics/ResourceCache.h"
#include "framework/graphics/platform/Win32Handles.h"

#include <cstdint>
#include <vector>

namespace iplug::igraphics
{

// Registered memory fonts (payload: the AddFontMemResourceEx handle, removed with the entry).
ResourceCache& GetFontResourceCache();
// Copies of font handles for the text field (payload: the HFONT, deleted with the entry).
ResourceCache& GetFontHandleCache();

// Each editor of the process counts as one user of both caches; the last one out empties them.
void AddFontCacheUsers();
void RemoveFontCacheUsers();

// A font of the family (UTF-8, at most 31 UTF-16 units) that GDI confirms by its face name; null when the
// family is not installed (mustExist) or GDI substitutes another face.
win32::UniqueFont CreateFontHandle(const char* family, int weight, bool italic, bool underline, int quality,
                                   bool mustExist);

// The style bits of a font's head table: bold, italic, underline.
struct FontStyleBits
{
  bool bold = false;
  bool italic = false;
  bool underline = false;
};

// Registers the bytes with GDI and makes a handle of the named family. On success the registration is
// kept in the memory-font cache under fontId; on failure nothing stays registered.
win32::UniqueFont LoadMemoryFont(const char* fontId, const void* bytes, int32_t size, const char* family,
                                 FontStyleBits style);

// The bytes of a font file or of an embedded "TTF" resource; empty when neither is found or readable.
// Files are opened for shared reading, so a font open elsewhere still loads.
std::vector<uint8_t> ReadFontFileOrResource(const char* fileOrResourceName, void* module);

// Keeps one copy of the handle under fontId; later calls for the same id keep the first.
void CacheFontHandleCopy(const char* fontId, HFONT font);
// A new font of the cached handle for fontId with the given pixel height; null when none is cached.
win32::UniqueFont CreateFontFromCache(const char* fontId, int32_t height);

// Everything GetFontData gives for the font: the whole collection when it is one.
std::vector<uint8_t> ReadFontData(HFONT font);

} // namespace iplug::igraphics
