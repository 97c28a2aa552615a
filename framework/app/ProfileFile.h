#pragma once

#include <string>

// File access of the settings file: Windows profile (ini) calls through the UTF-8 wrappers on
// Windows, a small reader and writer of the same format elsewhere. Texts and paths are UTF-8.

namespace iplug
{

// The user's local application-data folder, without a trailing separator; false when the system
// cannot tell.
bool LocalAppDataFolder(std::string& folder);

bool PathExists(const std::string& path);
bool MakeFolder(const std::string& path);

// At most size - 1 bytes of the value (or of the default when the key is missing) into out,
// always terminated; returns the bytes written.
int ProfileReadString(const char* section, const char* key, const char* defaultValue, char* out, int size,
                      const std::string& file);

bool ProfileWriteString(const char* section, const char* key, const char* value, const std::string& file);

} // namespace iplug
