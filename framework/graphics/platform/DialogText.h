#pragma once
// Texts the platform dialogs and the shell are given or give back: file filters, chosen paths, folder
// names, shell parameters, and the system cursor of each cursor kind. UTF-8 throughout; the Win32 glue
// converts at the call.

#include <cstdint>
#include <string>

namespace iplug::igraphics
{

struct FileFilter
{
  // "*.wav;*.aif" twice, each terminated, plus the final terminator; empty for no extensions.
  std::string filter;
  std::string defaultExtension;
};

// Extensions separated by blanks; no length limit.
FileFilter BuildFileFilter(const char* extensions);

// The directory of a chosen path with its trailing separator ("C:\a\b.wav" -> "C:\a\"); "" when the path
// has no directory part.
std::string DirectoryOfPath(const std::string& path);

// A folder as a directory prefix: one trailing backslash, never two.
std::string WithTrailingSeparator(const std::string& folder);

// The explorer parameters that show path, selected in its folder when select is set.
std::string RevealParameters(const std::string& path, bool select);

// A mail address needs no connection test before it is handed to the mail program.
bool IsMailAddress(const char* url);

// The system cursor id (IDC_*) of a cursor kind; unknown kinds show the arrow.
uint16_t SystemCursorId(int kind);

} // namespace iplug::igraphics
