#include "framework/graphics/platform/DialogText.h"

#include <cstring>

namespace iplug::igraphics
{

FileFilter BuildFileFilter(const char* extensions)
{
  FileFilter result;
  std::string pattern;
  const char* p = extensions ? extensions : "";
  while (*p)
  {
    while (*p == ' ')
      p++;
    const char* start = p;
    while (*p && *p != ' ')
      p++;
    if (p == start) continue;
    const std::string ext(start, p);
    if (result.defaultExtension.empty()) result.defaultExtension = ext;
    if (!pattern.empty()) pattern += ';';
    pattern += "*." + ext;
  }
  if (pattern.empty()) return result;
  result.filter = pattern;
  result.filter += '\0';
  result.filter += pattern;
  result.filter += '\0';
  result.filter += '\0';
  return result;
}

std::string DirectoryOfPath(const std::string& path)
{
  const size_t slash = path.find_last_of("\\/");
  if (slash != std::string::npos) return path.substr(0, slash + 1);
  // "C:name" keeps its drive.
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  return {};
}

std::string WithTrailingSeparator(const std::string& folder)
{
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) return folder;
  return folder + '\\';
}

std::string RevealParameters(const std::string& path, bool select)
{
  std::string params = select ? "/select,\"" : "\"";
  params += path;
  // A backslash before the closing quote would escape it and leave the quotation open.
  params += '"';
  return params;
}

bool IsMailAddress(const char* url)
{
  if (!url) return false;
  static const char kScheme[] = "mailto:";
  for (size_t i = 0; i + 1 < sizeof(kScheme); i++)
  {
    const char c = url[i];
    if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != kScheme[i]) return false;
  }
  return true;
}

uint16_t SystemCursorId(int kind)
{
  static const uint16_t kIds[] = {
      32512, // arrow
      32513, // I-beam
      32514, // wait
      32515, // cross
      32516, // up arrow
      32642, // size NW-SE
      32643, // size NE-SW
      32644, // size W-E
      32645, // size N-S
      32646, // size all
      32648, // no
      32649, // hand
      32650, // app starting
      32651, // help
  };
  if (kind < 0 || kind >= static_cast<int>(sizeof(kIds) / sizeof(kIds[0]))) return kIds[0];
  return kIds[kind];
}

} // namespace iplug::igraphics
