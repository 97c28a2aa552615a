#include "effect/editor/EditorStyle.h"

#include "framework/graphics/IGraphics.h"

#include <cstring>

namespace quorvel
{

gfx::ITextStyle EditorLabelStyle(float size, const gfx::IArgb& colour, int align)
{
  gfx::ITextStyle style(size, align, gfx::kAlignCenter);
  std::memset(style.font, 0, sizeof style.font);
  std::memcpy(style.font, kEditorFontName, sizeof kEditorFontName);
  style.colour = colour;
  style.entryBackground = EditorEntryBackground;
  style.entryForeground = EditorText;
  style.angle = 0.f;
  return style;
}

void DrawEditorLabel(gfx::IGraphics& g, const char* text, const gfx::IBounds& bounds, float size,
                     const gfx::IArgb& colour, int align)
{
  g.DrawText(EditorLabelStyle(size, colour, align), text, bounds);
}

void DrawEditorPanel(gfx::IGraphics& g, const gfx::IBounds& bounds, bool active, bool hovered)
{
  g.FillRoundRect(active ? EditorPanelActive : EditorPanelFill, bounds, 5.f);
  g.DrawRoundRect(hovered ? EditorAccent : EditorLine, bounds.GetPadded(-0.5f), 5.f, nullptr, 1.f);
}

} // namespace quorvel
