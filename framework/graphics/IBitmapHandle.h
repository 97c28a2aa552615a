#pragma once
// Bitmaps as the drawing interface sees them: the back end's APIBitmap (owned by the bitmap cache) and the
// IBitmapHandle that controls keep.

#include <cstdint>
#include <string>

namespace iplug::igraphics
{

// The back end derives from it to hold its texture or framebuffer. Sizes are in pixels; scale is the
// resolution the pixels were made for and draw scale the editor scale they were drawn at.
class APIBitmap
{
public:
  APIBitmap(int32_t widthPx, int32_t heightPx, float scale, float drawScale)
      : mWidth(widthPx), mHeight(heightPx), mScale(scale), mDrawScale(drawScale)
  {
  }
  virtual ~APIBitmap() = default;

  APIBitmap(const APIBitmap&) = delete;
  APIBitmap& operator=(const APIBitmap&) = delete;

  // The back end's image (texture) id; 0 until the back end gives one.
  int32_t GetImageId() const { return mImageId; }
  void SetImageId(int32_t id) { mImageId = id; }
  int32_t GetWidth() const { return mWidth; }
  int32_t GetHeight() const { return mHeight; }
  float GetScale() const { return mScale; }
  float GetDrawScale() const { return mDrawScale; }

private:
  int32_t mImageId = 0;
  int32_t mWidth;
  int32_t mHeight;
  float mScale;
  float mDrawScale;
};

// Copies share the API bitmap; only the name belongs to the handle.
struct IBitmapHandle
{
  APIBitmap* bitmap = nullptr;
  int32_t width = 0; // pixel width / scale, in editor units
  int32_t height = 0;
  int32_t frames = 0;
  bool framesHorizontal = false;
  std::string name;

  bool IsValid() const { return bitmap != nullptr; }
};

} // namespace iplug::igraphics
