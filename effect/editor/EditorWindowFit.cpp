#include "effect/editor/EditorWindowFit.h"

#include <algorithm>
#include <cmath>

namespace quorvel
{

void EditorWindowFitter::Fit(EditorFitTarget* target, int width, int height)
{
  // Resizing the platform window makes the host report the new size back to us.
  if (mResizing || target == nullptr || target->NControls() <= 0 || width <= 0 || height <= 0) return;
  const double dpi = target->GetWindowDpiScale();
  if (!std::isfinite(dpi) || dpi <= 0.0) return;

  mResizing = true;
  const double fit = std::min(width / (kEditorWidth * dpi), height / (kEditorHeight * dpi));
  const double scale =
      std::clamp(fit, static_cast<double>(kEditorMinScale), static_cast<double>(kEditorMaxScale));
  target->Resize(kEditorWidth, kEditorHeight, static_cast<float>(scale), scale != fit);
  mResizing = false;
}

} // namespace quorvel
