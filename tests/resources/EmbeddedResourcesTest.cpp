// The pictures, logo and font the project makes, read back from where the deliverables find them.
#include "framework/core/ResourceLookup.h"

#include <gtest/gtest.h>

#include <nanosvg.h>
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{

std::string Bytes(const char* name, const char* type)
{
  iplug::TextBuffer stored;
  if (iplug::FindResourceByName(name, type, stored, nullptr) != iplug::kWinBinary) return {};
  int32_t size = 0;
  const void* data = iplug::LoadResourceBytes(stored.Get(), type, size, nullptr);
  return data ? std::string(static_cast<const char*>(data), static_cast<size_t>(size)) : std::string();
}

struct Picture
{
  int w = 0, h = 0;
  std::vector<unsigned char> rgba;
  unsigned char Alpha(int x, int y) const { return rgba[(static_cast<size_t>(y) * w + x) * 4 + 3]; }
};

Picture Decode(const std::string& png)
{
  Picture p;
  int channels = 0;
  unsigned char* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(png.data()),
                                                static_cast<int>(png.size()), &p.w, &p.h, &channels, 4);
  if (!pixels) return {};
  p.rgba.assign(pixels, pixels + static_cast<size_t>(p.w) * p.h * 4);
  stbi_image_free(pixels);
  return p;
}

TEST(EmbeddedResources, ModelPicturesAtBothScales)
{
  const char* models[] = {"tube", "transformer", "tape", "germanium", "silicon", "diode"};
  std::vector<Picture> plain;
  for (const char* m : models)
  {
    for (int scale : {1, 2})
    {
      const std::string name = std::string("model_") + m + (scale == 2 ? "@2x.png" : ".png");
      const Picture p = Decode(Bytes(name.c_str(), "PNG"));
      ASSERT_EQ(p.w, 240 * scale) << name;
      ASSERT_EQ(p.h, 134 * scale) << name;
      // Transparent around the drawing, and something drawn.
      for (auto [x, y] : {std::pair{0, 0}, {p.w - 1, 0}, {0, p.h - 1}, {p.w - 1, p.h - 1}})
        EXPECT_EQ(p.Alpha(x, y), 0) << name << " corner " << x << "," << y;
      int opaque = 0;
      for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x)
          opaque += p.Alpha(x, y) > 200;
      EXPECT_GT(opaque, p.w * p.h / 20) << name;
      if (scale == 1) plain.push_back(p);
    }
  }
  for (size_t a = 0; a < plain.size(); ++a)
    for (size_t b = a + 1; b < plain.size(); ++b)
      EXPECT_NE(plain[a].rgba, plain[b].rgba) << models[a] << " and " << models[b];
}

TEST(EmbeddedResources, LogoIsOutlinedArtworkAboveItsUnderline)
{
  std::string svg = Bytes("keldrimax_logo.svg", "SVG");
  ASSERT_FALSE(svg.empty());
  EXPECT_EQ(svg.find("<text"), std::string::npos);
  std::unique_ptr<NSVGimage, void (*)(NSVGimage*)> image(nsvgParse(svg.data(), "px", 72.f), nsvgDelete);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 210.f);
  EXPECT_EQ(image->height, 42.f);
  int shapes = 0;
  for (const NSVGshape* s = image->shapes; s; s = s->next, ++shapes)
  {
    EXPECT_GE(s->bounds[0], 0.f);
    EXPECT_GE(s->bounds[1], 0.f);
    EXPECT_LE(s->bounds[2], 210.f);
    EXPECT_LE(s->bounds[3], 36.f); // the hover underline is drawn at 38
  }
  EXPECT_GE(shapes, 10); // the mark and nine letters
}

TEST(EmbeddedResources, FontIsTheRobotoRegularFace)
{
  const std::string font = Bytes("Roboto-Regular.ttf", "TTF");
  ASSERT_GT(font.size(), 1000u);
  EXPECT_EQ(font.substr(0, 4), std::string("\0\1\0\0", 4)); // TrueType outlines
  // The family name, as the name table holds it for Windows (UTF-16, big-endian).
  EXPECT_NE(font.find(std::string("\0R\0o\0b\0o\0t\0o", 12)), std::string::npos);
}

} // namespace
