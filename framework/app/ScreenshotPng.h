#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace iplug
{

// Encodes a top-down 32-bit capture (bytes B, G, R, x per pixel, as GDI leaves them) as an
// RGBA PNG, every pixel opaque. False for an empty size or when encoding fails.
bool EncodeScreenshotPng(const uint8_t* bgrx, int width, int height, std::vector<uint8_t>& png);

// "<temp folder><product>_screenshot_<YYYYmmdd_HHMMSS>.png"; the folder ends in a separator.
// At most 511 bytes: a longer name is cut.
std::string ScreenshotFileName(const std::string& tempFolder, const char* product, const std::tm& localTime);

// Captures the client area of a window (with the editor child printed into it) into a PNG
// file. True only when every byte reached the file and it closed. Windows only.
bool SaveWindowScreenshotPng(void* window, const char* utf8Path);

// The system's temporary folder as UTF-8, ending in a separator; "" when unknown. Windows only.
std::string TemporaryFolderUtf8();

} // namespace iplug
