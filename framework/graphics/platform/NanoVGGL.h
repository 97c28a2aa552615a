#pragma once
// What the back end needs from the NanoVG GL2 renderer beyond NanoVG's own interface.

struct NVGcontext;

namespace iplug::igraphics
{

// Frees a GL2 context made by nvgCreateGL2 and everything it holds without one GL call: for a teardown
// where its GL context cannot be made current (the GL objects go with that context's own deletion).
void DeleteNanoVGContextWithoutGL(NVGcontext* context);

} // namespace iplug::igraphics
