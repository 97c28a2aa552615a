#include "effect/plugin/XmlStateReader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace quorvel
{
namespace
{

// Values used for the PARAM elements of a well-formed document; all differ from the defaults.
constexpr const char* kValueTexts[kParamCount] = {"2",  "12.5", "-3",   "1.5", "-40", "75", "10",
                                                  "45", "80",   "9000", "20",  "0",   "1",  "1"};
constexpr float kValues[kParamCount] = {2, 12.5f, -3, 1.5f, -40, 75, 10, 45, 80, 9000, 20, 0, 1, 1};

std::string ParamElement(int key, const std::string& value)
{
  return std::string("<PARAM id=\"") + kParamTable[key].key + "\" value=\"" + value + "\"/>";
}

// A document with every key; `override` replaces one key's value text, `skip` leaves one key out.
std::string Document(const std::string& rootAttributes = "", int overrideKey = -1,
                     const std::string& value = "", int skip = -1)
{
  std::string doc = "<QuorvelState" + rootAttributes + ">";
  for (int k = 0; k < kParamCount; ++k)
  {
    if (k == skip) continue;
    doc += ParamElement(k, k == overrideKey ? value : kValueTexts[k]);
  }
  return doc + "</QuorvelState>";
}

std::vector<uint8_t> Envelope(const std::string& doc, size_t offset = 0, bool trailingNul = true)
{
  std::vector<uint8_t> bytes(offset + 8 + doc.size() + (trailingNul ? 1 : 0), 0);
  std::memset(bytes.data(), 'x', offset);
  std::memcpy(bytes.data() + offset, "VC2!", 4);
  const uint32_t length = static_cast<uint32_t>(doc.size());
  std::memcpy(bytes.data() + offset + 4, &length, 4);
  std::memcpy(bytes.data() + offset + 8, doc.data(), doc.size());
  return bytes;
}

XmlStateValues Preset()
{
  XmlStateValues v;
  for (int k = 0; k < kParamCount; ++k)
    EXPECT_EQ(v.current[k], EngineParams::kDefaults[k]) << "the result must start at the defaults";
  return v;
}

struct Outcome
{
  bool ok;
  XmlStateValues values;
  size_t consumed;
};

Outcome Read(const std::vector<uint8_t>& bytes)
{
  Outcome o{false, Preset(), 12345};
  o.ok = ReadXmlState(bytes.data(), bytes.size(), o.values, o.consumed);
  return o;
}

Outcome ReadDoc(const std::string& doc)
{
  return Read(Envelope(doc));
}

void ExpectUntouched(const Outcome& o)
{
  EXPECT_FALSE(o.ok);
  EXPECT_EQ(o.consumed, 0u);
  const XmlStateValues preset = Preset();
  // Field by field: the record has padding bytes after showingB.
  EXPECT_EQ(std::memcmp(o.values.current.values, preset.current.values, sizeof preset.current), 0)
      << "current values changed";
  EXPECT_EQ(std::memcmp(o.values.other.values, preset.other.values, sizeof preset.other), 0)
      << "other values changed";
  EXPECT_EQ(o.values.presetIndex, preset.presetIndex);
  EXPECT_EQ(o.values.showingB, preset.showingB);
}

TEST(XmlStateReader, EnvelopeIsFoundInTheFirst64BytesAndConsumedExactly)
{
  const std::string doc = Document();
  {
    SCOPED_TRACE("offset 0 with a trailing NUL");
    const Outcome o = ReadDoc(doc);
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.consumed, doc.size() + 9);
  }
  {
    SCOPED_TRACE("no trailing NUL, and a non-NUL byte after the document is not consumed");
    EXPECT_EQ(Read(Envelope(doc, 0, false)).consumed, doc.size() + 8);
    std::vector<uint8_t> bytes = Envelope(doc, 0, false);
    bytes.push_back('z');
    EXPECT_EQ(Read(bytes).consumed, doc.size() + 8);
  }
  {
    SCOPED_TRACE("tag at offset 63 is found, at 64 it is not");
    const Outcome at63 = Read(Envelope(doc, 63));
    ASSERT_TRUE(at63.ok);
    EXPECT_EQ(at63.consumed, 63 + doc.size() + 9);
    ExpectUntouched(Read(Envelope(doc, 64)));
  }
  {
    SCOPED_TRACE("a broken envelope earlier does not hide a good one later");
    std::vector<uint8_t> bytes = Envelope("<QuorvelState/>", 0, false);
    const std::vector<uint8_t> good = Envelope(doc);
    bytes.insert(bytes.end(), good.begin(), good.end());
    const Outcome o = Read(bytes);
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.consumed, bytes.size());
  }
  {
    SCOPED_TRACE("length 0, and a length longer than the bytes that follow");
    std::vector<uint8_t> bytes = Envelope(doc);
    std::memset(bytes.data() + 4, 0, 4);
    ExpectUntouched(Read(bytes));
    bytes = Envelope(doc, 0, false);
    const uint32_t tooLong = static_cast<uint32_t>(doc.size() + 1);
    std::memcpy(bytes.data() + 4, &tooLong, 4);
    ExpectUntouched(Read(bytes));
  }
  {
    SCOPED_TRACE("input size limits are checked before any search");
    const std::vector<uint8_t> eight = {'V', 'C', '2', '!', 1, 0, 0, 0};
    ExpectUntouched(Read(eight));
    std::vector<uint8_t> huge = Envelope(doc);
    huge.resize(kXmlStateMaxInput + 1, ' ');
    ExpectUntouched(Read(huge));
    huge.resize(kXmlStateMaxInput);
    EXPECT_TRUE(Read(huge).ok);
    XmlStateValues v = Preset();
    size_t consumed = 7;
    EXPECT_FALSE(ReadXmlState(nullptr, 100, v, consumed));
    EXPECT_EQ(consumed, 0u);
  }
}

TEST(XmlStateReader, AcceptsWellFormedDocuments)
{
  {
    SCOPED_TRACE("all fourteen elements, no root attributes");
    const Outcome o = ReadDoc(Document());
    ASSERT_TRUE(o.ok);
    for (int k = 0; k < kParamCount; ++k)
    {
      EXPECT_EQ(o.values.current[k], kValues[k]) << kParamTable[k].key;
      EXPECT_EQ(o.values.other[k], kValues[k]) << kParamTable[k].key;
    }
    EXPECT_EQ(o.values.presetIndex, 0);
    EXPECT_EQ(o.values.showingB, 0);
  }
  {
    SCOPED_TRACE(
        "declaration, whitespace everywhere it may go, quotes of both kinds, end tags, ignored attributes");
    std::string doc = " \r\n\t<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<QuorvelState\n  program = ' 4 "
                      "'\tunknown=\"x\" >\n";
    for (int k = 0; k < kParamCount; ++k)
    {
      if (k % 3 == 0)
        doc += std::string("  <PARAM  value='") + kValueTexts[k] + "' id='" + kParamTable[k].key +
               "' note=\"n\" />\n";
      else if (k % 3 == 1)
        doc += std::string("\t<PARAM id=\"") + kParamTable[k].key + "\" value=\"" + kValueTexts[k] +
               "\"> \n </PARAM >";
      else
        doc +=
            std::string("<PARAM id=\"") + kParamTable[k].key + "\" value=\"" + kValueTexts[k] + "\"></PARAM>";
    }
    doc += "\n</QuorvelState \t>\r\n  ";
    const Outcome o = ReadDoc(doc);
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.values.presetIndex, 4);
    for (int k = 0; k < kParamCount; ++k)
      EXPECT_EQ(o.values.current[k], kValues[k]) << kParamTable[k].key;
  }
}

TEST(XmlStateReader, RootAttributesSetPresetSlotAndOtherValues)
{
  {
    SCOPED_TRACE("program +3 with spaces");
    const Outcome o = ReadDoc(Document(" program=\"  +3 \""));
    ASSERT_TRUE(o.ok);
    EXPECT_EQ(o.values.presetIndex, 3);
  }
  for (const char* bad : {"3.5", "12", "-1", "+", "", "three", "++3", "+-3", "0x3"})
  {
    SCOPED_TRACE(std::string("program ") + bad);
    ExpectUntouched(ReadDoc(Document(std::string(" program=\"") + bad + "\"")));
  }
  {
    SCOPED_TRACE("showingB");
    for (const char* b : {"1", "true"})
      EXPECT_EQ(ReadDoc(Document(std::string(" showingB=\"") + b + "\"")).values.showingB, 1) << b;
    for (const char* a : {"0", "false"})
    {
      const Outcome o = ReadDoc(Document(std::string(" showingB=\"") + a + "\""));
      EXPECT_TRUE(o.ok) << a;
      EXPECT_EQ(o.values.showingB, 0) << a;
    }
    for (const char* bad : {"yes", "TRUE", " 1", "2", ""})
      ExpectUntouched(ReadDoc(Document(std::string(" showingB=\"") + bad + "\"")));
  }
  {
    SCOPED_TRACE("alt_drive alone changes only the other slot's drive");
    const Outcome o = ReadDoc(Document(" alt_drive=\"12\""));
    ASSERT_TRUE(o.ok);
    for (int k = 0; k < kParamCount; ++k)
    {
      EXPECT_EQ(o.values.current[k], kValues[k]);
      EXPECT_EQ(o.values.other[k], k == EngineParams::kDrive ? 12.0f : kValues[k]) << kParamTable[k].key;
    }
  }
  {
    SCOPED_TRACE("alt_ attributes are checked like the elements");
    ExpectUntouched(ReadDoc(Document(" alt_volume=\"1\"")));
    ExpectUntouched(ReadDoc(Document(" alt_=\"1\"")));
    ExpectUntouched(ReadDoc(Document(" alt_drive=\"37\"")));
    ExpectUntouched(ReadDoc(Document(" alt_model=\"1.5\"")));
  }
}

TEST(XmlStateReader, NumbersMustBeFiniteDecimalsInsideTheRange)
{
  struct Case
  {
    int key;
    const char* text;
    bool ok;
    float value;
  };
  const Case cases[] = {
      {EngineParams::kDrive, "1e1", true, 10.0f},   {EngineParams::kDrive, " 8 ", true, 8.0f},
      {EngineParams::kDrive, "+7.25", true, 7.25f}, {EngineParams::kTone, "-12", true, -12.0f},
      {EngineParams::kDrive, "36", true, 36.0f},    {EngineParams::kDrive, ".5", true, 0.5f},
      {EngineParams::kModel, "5", true, 5.0f},      {EngineParams::kModel, "2.0", true, 2.0f},
      {EngineParams::kDrive, "40", false, 0},       {EngineParams::kDrive, "36.001", false, 0},
      {EngineParams::kDrive, "-0.01", false, 0},    {EngineParams::kModel, "2.5", false, 0},
      {EngineParams::kBypass, "0.5", false, 0},     {EngineParams::kAutoGain, "2", false, 0},
      {EngineParams::kDrive, "nan", false, 0},      {EngineParams::kDrive, "inf", false, 0},
      {EngineParams::kDrive, "-inf", false, 0},     {EngineParams::kDrive, "1e999", false, 0},
      {EngineParams::kDrive, "0x10", false, 0},     {EngineParams::kDrive, "1,5", false, 0},
      {EngineParams::kDrive, "", false, 0},         {EngineParams::kDrive, "  ", false, 0},
      {EngineParams::kDrive, "+", false, 0},        {EngineParams::kDrive, "++1", false, 0},
      {EngineParams::kDrive, "--1", false, 0},      {EngineParams::kDrive, "8dB", false, 0},
      {EngineParams::kDrive, "8 8", false, 0},      {EngineParams::kTone, "+-3", false, 0},
      {EngineParams::kTone, "-", false, 0},         {EngineParams::kTone, "- 3", false, 0},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(std::string(kParamTable[c.key].key) + " = '" + c.text + "'");
    const Outcome o = ReadDoc(Document("", c.key, c.text));
    if (c.ok)
    {
      ASSERT_TRUE(o.ok);
      EXPECT_EQ(o.values.current[c.key], c.value);
    }
    else
    {
      ExpectUntouched(o);
    }
  }
}

TEST(XmlStateReader, RefusesEverythingOutsideTheGrammar)
{
  const std::string all = Document();
  const std::string params = all.substr(std::string("<QuorvelState>").size(),
                                        all.size() - std::string("<QuorvelState></QuorvelState>").size());
  const std::string drive = ParamElement(EngineParams::kDrive, "8");
  const std::string attrs40 = []
  {
    std::string a;
    for (int i = 0; i < 40; ++i)
      a += " a" + std::to_string(i) + "=\"1\"";
    return a;
  }();
  const struct
  {
    const char* what;
    std::string doc;
  } cases[] = {
      {"entity in a value", Document(" note=\"a&amp;b\"")},
      {"comment", "<QuorvelState><!-- c -->" + params + "</QuorvelState>"},
      {"text between elements",
       "<QuorvelState>" + params.substr(0, 40) + "x" + params.substr(40) + "</QuorvelState>"},
      {"text inside PARAM",
       "<QuorvelState><PARAM id=\"drive\" value=\"8\">8</PARAM>" + params + "</QuorvelState>"},
      {"self-closing root", "<QuorvelState/>"},
      {"self-closing root with params after", "<QuorvelState/>" + params},
      {"text after the root", all + "x"},
      {"second root after the root", all + "<QuorvelState/>"},
      {"repeated key", "<QuorvelState>" + drive + params + "</QuorvelState>"},
      {"missing key", Document("", -1, "", EngineParams::kBypass)},
      {"id that is not a key",
       "<QuorvelState><PARAM id=\"volume\" value=\"1\"/>" + params + "</QuorvelState>"},
      {"PARAM without id", "<QuorvelState><PARAM value=\"1\"/>" + params + "</QuorvelState>"},
      {"PARAM without value", "<QuorvelState><PARAM id=\"drive\"/>" + params + "</QuorvelState>"},
      {"duplicate attribute", Document(" program=\"1\" program=\"1\"")},
      {"duplicate PARAM attribute",
       "<QuorvelState><PARAM id=\"drive\" id=\"drive\" value=\"1\"/>" + params + "</QuorvelState>"},
      {"41 attributes", Document(attrs40 + " b=\"1\"")},
      {"attribute without whitespace before it",
       "<QuorvelState program=\"1\"note=\"1\">" + params + "</QuorvelState>"},
      {"unquoted attribute", Document(" program=1")},
      {"mismatched quotes", Document(" program=\"1'")},
      {"'<' in a value", Document(" note=\"a<b\"")},
      {"NUL in a value", Document(std::string(" note=\"a") + '\0' + "b\"")},
      {"overlong value (1026)", Document(" note=\"" + std::string(1026, 'v') + "\"")},
      {"overlong attribute name (65)", Document(" " + std::string(65, 'n') + "=\"1\"")},
      {"bad character in a name", Document(" no/te=\"1\"")},
      {"nested element", "<QuorvelState><Group>" + params + "</Group></QuorvelState>"},
      {"element inside PARAM",
       "<QuorvelState><PARAM id=\"drive\" value=\"8\"><x/></PARAM>" + params + "</QuorvelState>"},
      {"PARAM closed by another end tag", "<QuorvelState><PARAM id=\"drive\" value=\"8\"></QuorvelState>"},
      {"wrong root", "<State>" + params + "</State>"},
      {"root name in another case", "<quorvelstate>" + params + "</quorvelstate>"},
      {"no end tag", "<QuorvelState>" + params},
      {"CDATA", "<QuorvelState><![CDATA[x]]>" + params + "</QuorvelState>"},
      {"processing instruction after the root tag", "<QuorvelState><?pi x?>" + params + "</QuorvelState>"},
      {"declaration without its end", "<?xml version=\"1.0\" <QuorvelState>" + params + "</QuorvelState>"},
      {"second declaration", "<?xml version=\"1.0\"?><?xml version=\"1.0\"?>" + all},
      {"space after '<'", "< QuorvelState>" + params + "</QuorvelState>"},
      {"text before the root", "x" + all},
      {"empty document", " "},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.what);
    ExpectUntouched(ReadDoc(c.doc));
  }

  SCOPED_TRACE("the limits themselves are accepted");
  EXPECT_TRUE(ReadDoc(Document(attrs40.substr(0, attrs40.size() - 7) + " program=\"2\"")).ok)
      << "40 attributes";
  EXPECT_TRUE(ReadDoc(Document(" note=\"" + std::string(1025, 'v') + "\"")).ok) << "1025-character value";
  EXPECT_TRUE(ReadDoc(Document(" " + std::string(64, 'n') + "=\"1\"")).ok) << "64-character name";
}

TEST(XmlStateReader, DeclarationMaySpan256CharactersIncludingItsDelimiters)
{
  auto declaration = [](size_t totalLength)
  {
    const std::string head = "<?xml version=\"1.0\"";
    return head + std::string(totalLength - head.size() - 2, ' ') + "?>";
  };
  ASSERT_EQ(declaration(256).size(), 256u);
  EXPECT_TRUE(ReadDoc(declaration(256) + Document()).ok);
  ExpectUntouched(ReadDoc(declaration(257) + Document()));
  EXPECT_TRUE(ReadDoc("<?xml?>" + Document()).ok);
  ExpectUntouched(ReadDoc("<?xml" + Document()));
}

} // namespace
} // namespace quorvel
