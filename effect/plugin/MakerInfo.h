#pragma once

// Who makes the effect: shown by hosts in plug-in lists, by the program's About box and by the editor's
// support link. Defined once here; everything else reads these.

namespace quorvel
{

inline constexpr char kMakerName[] = "KELDRIMAX";
inline constexpr char kMakerWebAddress[] = "https://keldrimax.com/quorvel";
inline constexpr char kMakerSupportEmail[] = "support@keldrimax.com";

} // namespace quorvel
