#pragma once

// A folder of its own for one test, removed with everything in it at the end. CTest runs test
// cases in parallel, so no two may share a settings file.

#include <filesystem>
#include <string>

namespace iplug::test
{

class TempFolder
{
public:
  explicit TempFolder(const std::string& tag);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // UTF-8 path, as the system's own code takes paths.
  std::string Path() const;
  // A sub-folder (UTF-8 name), created.
  std::string Sub(const std::string& name) const;

private:
  std::filesystem::path mPath;
};

// Raw bytes of a file, or "" when it cannot be read.
std::string ReadFileBytes(const std::string& utf8Path);
void WriteFileBytes(const std::string& utf8Path, const std::string& bytes);

} // namespace iplug::test
