#include "tests/support/app/TempFolder.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <random>
#include <sstream>

namespace iplug::test
{
namespace
{

std::filesystem::path FromUtf8(const std::string& text)
{
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string ToUtf8(const std::filesystem::path& path)
{
  const std::u8string s = path.u8string();
  return std::string(s.begin(), s.end());
}

} // namespace

TempFolder::TempFolder(const std::string& tag)
{
  // Test cases run as parallel processes: a clock reading alone may repeat between them.
  static std::atomic<int> counter{0};
  static const unsigned processSalt = std::random_device{}();
  for (;;)
  {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    mPath = std::filesystem::temp_directory_path() /
            FromUtf8("quorvel-" + tag + "-" + std::to_string(processSalt) + "-" + std::to_string(stamp) +
                     "-" + std::to_string(counter++));
    // create_directory is false when the folder was there already: try another name.
    if (std::filesystem::create_directories(mPath)) break;
  }
}

TempFolder::~TempFolder()
{
  std::error_code ignored;
  std::filesystem::remove_all(mPath, ignored);
}

std::string TempFolder::Path() const
{
  return ToUtf8(mPath);
}

std::string TempFolder::Sub(const std::string& name) const
{
  const std::filesystem::path sub = mPath / FromUtf8(name);
  std::filesystem::create_directories(sub);
  return ToUtf8(sub);
}

std::string ReadFileBytes(const std::string& utf8Path)
{
  std::ifstream in(FromUtf8(utf8Path), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFileBytes(const std::string& utf8Path, const std::string& bytes)
{
  std::ofstream out(FromUtf8(utf8Path), std::ios::binary | std::ios::trunc);
  out << bytes;
}

} // namespace iplug::test
