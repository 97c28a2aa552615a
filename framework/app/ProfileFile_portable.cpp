// A reader and writer of the Windows profile format for systems without the profile calls:
// "[section]" lines, "key=value" lines, names compared without regard to ASCII case, blanks
// around names and values ignored. Writing rewrites the whole file.

#include "framework/app/ProfileFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

namespace iplug
{
namespace
{

std::string Trim(const std::string& text)
{
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

bool SameName(const std::string& a, const char* b)
{
  const size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (size_t i = 0; i < n; i++)
  {
    const auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
    if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

std::vector<std::string> ReadLines(const std::string& file)
{
  std::vector<std::string> lines;
  std::ifstream in(file, std::ios::binary);
  std::string line;
  while (std::getline(in, line))
  {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool IsSectionLine(const std::string& line, std::string* name)
{
  const std::string t = Trim(line);
  if (t.size() < 2 || t.front() != '[') return false;
  const size_t close = t.find(']');
  if (close == std::string::npos) return false;
  if (name) *name = Trim(t.substr(1, close - 1));
  return true;
}

// Index of the key's line inside the section, or -1; sectionEnd receives the line after the
// section's last line (or -1 when the section is missing).
int FindKey(const std::vector<std::string>& lines, const char* section, const char* key, int& sectionEnd)
{
  sectionEnd = -1;
  bool inSection = false;
  int found = -1;
  for (size_t i = 0; i < lines.size(); i++)
  {
    std::string name;
    if (IsSectionLine(lines[i], &name))
    {
      if (inSection) return found;
      inSection = SameName(name, section);
      if (inSection) sectionEnd = static_cast<int>(i) + 1;
      continue;
    }
    if (!inSection) continue;
    if (!Trim(lines[i]).empty()) sectionEnd = static_cast<int>(i) + 1;
    const size_t eq = lines[i].find('=');
    if (found < 0 && eq != std::string::npos && SameName(Trim(lines[i].substr(0, eq)), key))
      found = static_cast<int>(i);
  }
  return found;
}

} // namespace

bool LocalAppDataFolder(std::string& folder)
{
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
  {
    folder = data;
    return true;
  }
  if (const char* home = std::getenv("HOME"); home && *home)
  {
    folder = std::string(home) + "/.local/share";
    return true;
  }
  return false;
}

bool PathExists(const std::string& path)
{
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

bool MakeFolder(const std::string& path)
{
  return mkdir(path.c_str(), 0755) == 0;
}

int ProfileReadString(const char* section, const char* key, const char* defaultValue, char* out, int size,
                      const std::string& file)
{
  if (!out || size <= 0) return 0;
  std::string value = defaultValue ? defaultValue : "";
  const std::vector<std::string> lines = ReadLines(file);
  int sectionEnd;
  const int line = FindKey(lines, section, key, sectionEnd);
  if (line >= 0)
  {
    const std::string& text = lines[static_cast<size_t>(line)];
    value = Trim(text.substr(text.find('=') + 1));
    if (value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\''))
      value = value.substr(1, value.size() - 2);
  }
  size_t n = std::min(value.size(), static_cast<size_t>(size - 1));
  // Never cut a character in half.
  while (n > 0 && n < value.size() && (static_cast<unsigned char>(value[n]) & 0xC0) == 0x80)
    n--;
  std::memcpy(out, value.data(), n);
  out[n] = '\0';
  return static_cast<int>(n);
}

bool ProfileWriteString(const char* section, const char* key, const char* value, const std::string& file)
{
  std::vector<std::string> lines = ReadLines(file);
  const std::string entry = std::string(key) + "=" + (value ? value : "");
  int sectionEnd;
  const int line = FindKey(lines, section, key, sectionEnd);
  if (line >= 0)
    lines[static_cast<size_t>(line)] = entry;
  else if (sectionEnd >= 0)
    lines.insert(lines.begin() + sectionEnd, entry);
  else
  {
    lines.push_back("[" + std::string(section) + "]");
    lines.push_back(entry);
  }

  // Written beside the file and renamed over it, so a crash never leaves half a file.
  const std::string temporary = file + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    for (const std::string& l : lines)
      out << l << "\r\n";
    if (!out.flush()) return false;
  }
  return std::rename(temporary.c_str(), file.c_str()) == 0;
}

} // namespace iplug
