// The pictures and logo the project makes, read back from where the deliverables find them.
#include "framework/core/ResourceLookup.h"

#include <gtest/gtest.h>

#include <nanosvg.h>
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

std::string Bytes(const char* name, const char* type)
{
  iplug::TextBuffer stored;
  int32_t size = 0;
  const void* data = iplug::FindResourceByName(name, type, stored, nullptr) == iplug::kWinBinary
                         ? iplug::LoadResourceBytes(stored.Get(), type, size, nullptr)
                         : nullptr;
  return data ? std::string(static_cast<const char*>(data), static_cast<size_t>(size)) : std::string();
}

TEST(EmbeddedResources, ModelPicturesAtBothScales)
{
  const char* models[] = {"tube", "transformer", "tape", "germanium", "silicon", "diode"};
  std::vector<std::vector<unsigned char>> plain;
  for (const char* m : models)
    for (int scale : {1, 2})
    {
      const std::string name = std::string("model_") + m + (scale == 2 ? "@2x.png" : ".png");
      const std::string png = Bytes(name.c_str(), "PNG");
      int w = 0, h = 0, n = 0;
      std::unique_ptr<unsigned char, void (*)(void*)> px(
          stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(png.data()), static_cast<int>(png.size()),
                                &w, &h, &n, 4),
          stbi_image_free);
      ASSERT_TRUE(px && w == 240 * scale && h == 134 * scale) << name << " " << w << "x" << h;
      for (int corner : {0, w - 1, (h - 1) * w, h * w - 1})
        EXPECT_EQ(px.get()[corner * 4 + 3], 0) << name << ": corners are transparent";
      if (scale == 1) plain.emplace_back(px.get(), px.get() + w * h * 4);
    }
  for (size_t a = 0; a < plain.size(); ++a)
    for (size_t b = a + 1; b < plain.size(); ++b)
      EXPECT_NE(plain[a], plain[b]) << models[a] << " and " << models[b];
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
    EXPECT_TRUE(s->bounds[0] >= 0.f && s->bounds[1] >= 0.f && s->bounds[2] <= 210.f && s->bounds[3] <= 36.f)
        << "shape " << shapes << ": the hover underline is drawn at 38";
  EXPECT_GE(shapes, 10); // the mark and nine letters
}

} // namespace
