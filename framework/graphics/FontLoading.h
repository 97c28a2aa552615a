#pragma once
// Fonts from a file, an embedded resource or memory: the platform makes a font of the bytes, the drawing
// back end takes it, and the platform keeps a copy of what the text entry needs. The platform font made
// here is always deleted here, whether the back end took it or not.

namespace iplug::igraphics
{

class PlatformFont;

// What the platform and the drawing back end supply.
class IFontBackEnd
{
public:
  virtual ~IFontBackEnd() = default;
  // Null when nothing usable was found.
  virtual PlatformFont* LoadPlatformFontFromFile(const char* fontId, const char* fileOrResourceName) = 0;
  virtual PlatformFont* LoadPlatformFontFromMemory(const char* fontId, const void* data, int size) = 0;
  virtual bool LoadFontWithApi(const char* fontId, PlatformFont* font) = 0;
  // Copies what it keeps: the font stays the caller's.
  virtual void CachePlatformFont(const char* fontId, const PlatformFont* font) = 0;
};

bool LoadFontFile(IFontBackEnd& backEnd, const char* fontId, const char* fileOrResourceName);
bool LoadFontFromMemory(IFontBackEnd& backEnd, const char* fontId, const void* data, int size);

} // namespace iplug::igraphics
