#pragma once
// The editor's one dark palette, its one text style and the two drawing functions every editor control
// shares.

#include "framework/graphics/IDrawingRecords.h"

namespace iplug::igraphics
{
class IGraphics;
}

namespace quorvel
{

namespace gfx = iplug::igraphics;

inline constexpr gfx::IArgb EditorAccent{255, 237, 175, 105};
inline constexpr gfx::IArgb EditorAccentDark{255, 189, 128, 84};
inline constexpr gfx::IArgb EditorText{255, 238, 232, 223};
inline constexpr gfx::IArgb EditorTextDim{255, 146, 154, 161};
inline constexpr gfx::IArgb EditorLine{255, 57, 62, 67};
inline constexpr gfx::IArgb EditorPanelFill{255, 32, 36, 40};
inline constexpr gfx::IArgb EditorPanelActive{255, 78, 58, 40};
inline constexpr gfx::IArgb EditorEntryBackground{255, 23, 27, 30};

// The font every editor text is drawn in; the layout registers it before any control draws.
inline constexpr char kEditorFontName[] = "KELDRIMAX";
inline constexpr char kEditorFontResource[] = "Roboto-Regular.ttf";

// The editor's text style at a size, colour and horizontal alignment (vertically always middle).
gfx::ITextStyle EditorLabelStyle(float size, const gfx::IArgb& colour, int align);

void DrawEditorLabel(gfx::IGraphics& g, const char* text, const gfx::IBounds& bounds, float size,
                     const gfx::IArgb& colour, int align);

// A button face: filled, then outlined half a unit inside so the 1-unit line lands on whole pixels.
void DrawEditorPanel(gfx::IGraphics& g, const gfx::IBounds& bounds, bool active, bool hovered);

} // namespace quorvel
