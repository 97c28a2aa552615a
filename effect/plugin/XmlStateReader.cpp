#include "effect/plugin/XmlStateReader.h"

#include "effect/plugin/FactoryPresets.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>
#include <system_error>

namespace quorvel
{

namespace
{

constexpr size_t kMaxNameLength = 64;
constexpr size_t kMaxValueLength = 1025;
constexpr int kMaxAttributes = 40;
constexpr char kEnvelopeTag[4] = {'V', 'C', '2', '!'};
constexpr std::string_view kRootName = "QuorvelState";
constexpr std::string_view kParamName = "PARAM";
constexpr std::string_view kAltPrefix = "alt_";

bool IsSpace(char c)
{
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool IsNameChar(char c)
{
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == ':' || c == '_';
}

struct Attribute
{
  std::string_view name;
  std::string_view value;
};

struct Tag
{
  std::string_view name;
  bool isEnd = false;
  bool selfClosing = false;
  Attribute attributes[kMaxAttributes];
  int attributeCount = 0;

  const std::string_view* Find(std::string_view attributeName) const
  {
    for (int i = 0; i < attributeCount; ++i)
      if (attributes[i].name == attributeName) return &attributes[i].value;
    return nullptr;
  }
};

// Reads the document text; every Read* fails on the first character that the grammar does not allow.
class Cursor
{
public:
  explicit Cursor(std::string_view text) : mText(text) {}

  bool AtEnd() const { return mPos >= mText.size(); }
  size_t Position() const { return mPos; }
  void MoveTo(size_t pos) { mPos = pos; }
  bool StartsWith(std::string_view s) const { return mText.substr(mPos).starts_with(s); }
  std::string_view Text() const { return mText; }

  void SkipSpace()
  {
    while (!AtEnd() && IsSpace(mText[mPos]))
      ++mPos;
  }

  bool Expect(char c)
  {
    if (AtEnd() || mText[mPos] != c) return false;
    ++mPos;
    return true;
  }

  bool ReadName(std::string_view& name)
  {
    const size_t start = mPos;
    while (!AtEnd() && IsNameChar(mText[mPos]))
      ++mPos;
    const size_t length = mPos - start;
    if (length < 1 || length > kMaxNameLength) return false;
    name = mText.substr(start, length);
    return true;
  }

  bool ReadAttributeValue(std::string_view& value)
  {
    if (AtEnd() || (mText[mPos] != '"' && mText[mPos] != '\'')) return false;
    const char quote = mText[mPos++];
    const size_t start = mPos;
    while (!AtEnd() && mText[mPos] != quote)
    {
      const char c = mText[mPos];
      if (c == '\0' || c == '&' || c == '<' || mPos - start >= kMaxValueLength) return false;
      ++mPos;
    }
    if (AtEnd()) return false;
    value = mText.substr(start, mPos - start);
    ++mPos; // closing quote
    return true;
  }

  // A start tag with its attributes (possibly self-closing) or an end tag.
  bool ReadTag(Tag& tag)
  {
    tag.isEnd = false;
    tag.selfClosing = false;
    tag.attributeCount = 0;
    if (!Expect('<')) return false;
    if (Expect('/'))
    {
      tag.isEnd = true;
      if (!ReadName(tag.name)) return false;
      SkipSpace();
      return Expect('>');
    }
    if (!ReadName(tag.name)) return false;
    for (;;)
    {
      const size_t before = mPos;
      SkipSpace();
      const bool spaced = mPos > before;
      if (Expect('>')) return true;
      if (Expect('/'))
      {
        tag.selfClosing = true;
        return Expect('>');
      }
      if (!spaced || tag.attributeCount == kMaxAttributes) return false;
      Attribute attribute;
      if (!ReadName(attribute.name)) return false;
      SkipSpace();
      if (!Expect('=')) return false;
      SkipSpace();
      if (!ReadAttributeValue(attribute.value)) return false;
      if (tag.Find(attribute.name) != nullptr) return false;
      tag.attributes[tag.attributeCount++] = attribute;
    }
  }

private:
  std::string_view mText;
  size_t mPos = 0;
};

// Decimal number in fixed or scientific notation, surrounded by optional whitespace, with at most one
// leading sign ("+" or "-"). Hex, inf, nan, out-of-range exponents and locale commas are refused.
bool ParseNumber(std::string_view text, double& value)
{
  while (!text.empty() && IsSpace(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back()))
    text.remove_suffix(1);
  if (!text.empty() && text.front() == '+')
  {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return false;
  }
  if (text.empty()) return false;
  double parsed = 0.0;
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, parsed, std::chars_format::general);
  if (result.ec != std::errc() || result.ptr != end || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

bool IsWhole(double v)
{
  return std::floor(v) == v;
}

bool ReadKeyValue(std::string_view text, int key, float& out)
{
  double v = 0.0;
  if (!ParseNumber(text, v)) return false;
  if (v < kParamTable[key].min || v > kParamTable[key].max) return false;
  if (IsWholeValuedParam(key) && !IsWhole(v)) return false;
  out = static_cast<float>(v);
  return true;
}

bool ReadRootAttributes(const Tag& root, XmlStateValues& result)
{
  if (const std::string_view* program = root.Find("program"))
  {
    double v = 0.0;
    if (!ParseNumber(*program, v) || !IsWhole(v) || v < 0.0 || v >= kFactoryPresetCount) return false;
    result.presetIndex = static_cast<int32_t>(v);
  }
  if (const std::string_view* showingB = root.Find("showingB"))
  {
    if (*showingB == "1" || *showingB == "true")
      result.showingB = 1;
    else if (*showingB == "0" || *showingB == "false")
      result.showingB = 0;
    else
      return false;
  }
  return true;
}

bool ReadAltAttributes(const Tag& root, XmlStateValues& result)
{
  for (int i = 0; i < root.attributeCount; ++i)
  {
    const Attribute& attribute = root.attributes[i];
    if (!attribute.name.starts_with(kAltPrefix)) continue;
    const int key = FindParamKey(attribute.name.substr(kAltPrefix.size()));
    if (key < 0 || !ReadKeyValue(attribute.value, key, result.other[key])) return false;
  }
  return true;
}

bool ParseDocument(std::string_view text, XmlStateValues& result)
{
  Cursor cursor(text);
  cursor.SkipSpace();
  if (cursor.StartsWith("<?xml"))
  {
    const size_t start = cursor.Position();
    const size_t close = text.find("?>", start + 5);
    if (close == std::string_view::npos || close + 2 - start > kXmlDeclarationMaxLength) return false;
    cursor.MoveTo(close + 2);
    cursor.SkipSpace();
  }

  Tag root;
  if (!cursor.ReadTag(root) || root.isEnd || root.selfClosing || root.name != kRootName) return false;
  if (!ReadRootAttributes(root, result)) return false;

  bool seen[kParamCount] = {};
  Tag tag;
  for (;;)
  {
    cursor.SkipSpace();
    if (!cursor.ReadTag(tag)) return false;

    if (!tag.isEnd && tag.name == kParamName)
    {
      const std::string_view* id = tag.Find("id");
      const std::string_view* value = tag.Find("value");
      if (id == nullptr || value == nullptr) return false;
      const int key = FindParamKey(*id);
      if (key < 0 || seen[key] || !ReadKeyValue(*value, key, result.current[key])) return false;
      seen[key] = true;
      if (!tag.selfClosing)
      {
        cursor.SkipSpace();
        if (!cursor.ReadTag(tag) || !tag.isEnd || tag.name != kParamName) return false;
      }
      continue;
    }

    if (tag.isEnd && tag.name == kRootName)
    {
      cursor.SkipSpace();
      if (!cursor.AtEnd()) return false;
      if (!std::all_of(std::begin(seen), std::end(seen), [](bool s) { return s; })) return false;
      result.other = result.current;
      return ReadAltAttributes(root, result);
    }

    return false;
  }
}

} // namespace

bool ReadXmlState(const uint8_t* data, size_t length, XmlStateValues& out, size_t& consumed)
{
  consumed = 0;
  if (data == nullptr || length < kXmlStateMinInput || length > kXmlStateMaxInput) return false;

  const size_t lastOffset = std::min(length - 8, kXmlStateLastTagOffset);
  for (size_t i = 0; i <= lastOffset; ++i)
  {
    if (std::memcmp(data + i, kEnvelopeTag, 4) != 0) continue;
    uint32_t documentLength = 0;
    std::memcpy(&documentLength, data + i + 4, 4); // little-endian, possibly unaligned
    const size_t available = length - (i + 8);
    if (documentLength == 0 || documentLength > kXmlStateMaxDocument || documentLength > available) continue;

    XmlStateValues attempt = out;
    const std::string_view document(reinterpret_cast<const char*>(data + i + 8), documentLength);
    if (!ParseDocument(document, attempt)) continue;

    out = attempt;
    const size_t end = i + 8 + documentLength;
    consumed = end + ((end < length && data[end] == 0) ? 1 : 0);
    return true;
  }
  return false;
}

} // namespace quorvel
