#pragma once

namespace iplug
{

// An error a user must act on: a message box owned by the window (may be null) on Windows,
// a line on standard error elsewhere. Text and title are UTF-8.
void ShowErrorBox(void* window, const char* text, const char* title);

} // namespace iplug
