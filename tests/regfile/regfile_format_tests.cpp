// The settings file's text format on hand-written files: which lines give
// which typed values, which damage costs what, and what a change leaves of
// the rest of the file.
#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "platform/x11/regfile_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

constexpr const char* kKey = "Software\\Quillmere\\Chronovale";

std::string Bytes(std::initializer_list<int> bytes) {
    std::string out;
    for (int b : bytes) out.push_back(static_cast<char>(b));
    return out;
}

RegValue Typed(uint32_t type, std::string data) { return RegValue{type, std::move(data)}; }

RegFileDocument Parsed(const std::string& text) {
    RegFileDocument document;
    EXPECT_EQ(document.Parse(text), RegParseResult::Ok) << text;
    return document;
}

TEST(RegFileFormat, header_decides_whether_the_file_is_a_settings_file) {
    RegFileDocument document;
    EXPECT_EQ(document.Parse("REGEDIT4\r\n"), RegParseResult::Ok);
    EXPECT_EQ(document.Parse("Windows Registry Editor Version 5.00\n\n"), RegParseResult::Ok);
    EXPECT_EQ(document.Parse("\xEF\xBB\xBFREGEDIT4  \n"), RegParseResult::Ok);
    EXPECT_EQ(document.Parse(""), RegParseResult::Empty);
    EXPECT_EQ(document.Parse(" \r\n\n"), RegParseResult::Empty);
    EXPECT_EQ(document.Parse("REGEDIT5\n"), RegParseResult::Unparseable);
    EXPECT_EQ(document.Parse("\n\nREGEDIT4\n"), RegParseResult::Unparseable);
    EXPECT_EQ(document.Parse(std::string("REGEDIT4\n\"A\"=\"x\0y\"\n", 20)), RegParseResult::Unparseable);
    std::string huge = "REGEDIT4\n;" + std::string(kRegFileMaxSize, 'x') + "\n";
    EXPECT_EQ(document.Parse(huge), RegParseResult::Unparseable);
}

TEST(RegFileFormat, value_lines_give_typed_values) {
    RegFileDocument d = Parsed(
        "REGEDIT4\n"
        "\n"
        "[HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]\n"
        "\"FaceName\"=\"Times \\\"New\\\" \\\\ Roman\"\n"
        "\"Path\"=\"C:\\Music\\a.mp3\"\n"
        "\"Empty\"=\"\"\n"
        "\"Seed\"=dword:0000ff01\n"
        "\"Short\"=DWORD:7\n"
        "\"Minus\"=dword:FFFFFFFB\n"
        "\"Bin\"=hex:01,02,03,04\n"
        "\"NoBytes\"=hex:\n"
        "\"Sz\"=hex(1):41,42,00\n"
        "\"Multi\"=hex(7):61,00,00\n"
        "@=\"default\"\n"
        "  \"Spaced\" = dword:1  \n");
    EXPECT_EQ(*d.Find(kKey, "FaceName"), MakeTextValue("Times \"New\" \\ Roman"));
    // Only \\ and \" are escapes; other backslashes stand for themselves.
    EXPECT_EQ(*d.Find(kKey, "Path"), MakeTextValue("C:\\Music\\a.mp3"));
    EXPECT_EQ(*d.Find(kKey, "Empty"), MakeTextValue(""));
    EXPECT_EQ(*d.Find(kKey, "Seed"), MakeDwordValue(0xff01));
    EXPECT_EQ(*d.Find(kKey, "Short"), MakeDwordValue(7));
    EXPECT_EQ(*d.Find(kKey, "Minus"), MakeDwordValue(-5));
    EXPECT_EQ(*d.Find(kKey, "Bin"), Typed(kRegBinary, Bytes({1, 2, 3, 4})));
    EXPECT_EQ(*d.Find(kKey, "NoBytes"), Typed(kRegBinary, ""));
    EXPECT_EQ(*d.Find(kKey, "Sz"), MakeTextValue("AB"));
    EXPECT_EQ(*d.Find(kKey, "Multi"), Typed(7, Bytes({'a', 0, 0})));
    EXPECT_EQ(*d.Find(kKey, ""), MakeTextValue("default"));
    EXPECT_EQ(*d.Find(kKey, "Spaced"), MakeDwordValue(1));
    EXPECT_EQ(d.Find(kKey, "Missing"), nullptr);
}

TEST(RegFileFormat, a_bad_line_costs_only_its_own_value) {
    RegFileDocument d = Parsed(
        "REGEDIT4\n"
        "[HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]\n"
        "\"A\"=dword:1\n"
        "\"Nine\"=dword:123456789\n"
        "\"NoDigits\"=dword:\n"
        "\"NotHex\"=dword:12g4\n"
        "\"Trailing\"=dword:1 x\n"
        "\"Unclosed\"=\"abc\n"
        "\"AfterQuote\"=\"abc\" x\n"
        "\"Deleted\"=-\n"
        "\"BadByte\"=hex:01,2x\n"
        "\"NoComma\"=hex:01 02\n"
        "\"ThreeDigits\"=hex:123\n"
        "\"NoEquals\" dword:1\n"
        "\"UnknownType\"=str:abc\n"
        "garbage without quotes\n"
        "\"unterminated name\n"
        "; \"Commented\"=dword:1\n"
        "\"B\"=dword:2\n");
    for (const char* name : {"Nine", "NoDigits", "NotHex", "Trailing", "Unclosed", "AfterQuote",
                             "Deleted", "BadByte", "NoComma", "ThreeDigits", "NoEquals",
                             "UnknownType", "Commented"})
        EXPECT_EQ(d.Find(kKey, name), nullptr) << name;
    EXPECT_EQ(*d.Find(kKey, "A"), MakeDwordValue(1));
    EXPECT_EQ(*d.Find(kKey, "B"), MakeDwordValue(2));
}

TEST(RegFileFormat, every_line_end_reads_the_same) {
    const std::string body[] = {"REGEDIT4", "[HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]",
                                "\"A\"=dword:1", "\"Bin\"=hex:01,02,\\", "  03,04", "\"T\"=\"x\""};
    for (const char* end : {"\n", "\r\n", "\r"}) {
        std::string text;
        for (const std::string& line : body) text += line + end;
        RegFileDocument d = Parsed(text);
        EXPECT_EQ(*d.Find(kKey, "A"), MakeDwordValue(1)) << "line end " << int(end[0]);
        EXPECT_EQ(*d.Find(kKey, "Bin"), Typed(kRegBinary, Bytes({1, 2, 3, 4})));
        EXPECT_EQ(*d.Find(kKey, "T"), MakeTextValue("x"));
        EXPECT_EQ(d.Serialise(), text);
    }
    RegFileDocument mixed = Parsed("REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]\r"
                                   "\"A\"=dword:1\n\"B\"=dword:2");
    EXPECT_EQ(*mixed.Find(kKey, "B"), MakeDwordValue(2));
}

TEST(RegFileFormat, the_last_line_naming_a_value_defines_it) {
    RegFileDocument d = Parsed(
        "REGEDIT4\n"
        "[HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]\n"
        "\"A\"=dword:1\n"
        "\"B\"=dword:1\n"
        "\"a\"=dword:2\n"
        "\"B\"=dword:xyz\n"
        "[HKEY_CURRENT_USER\\Software\\Other]\n"
        "\"A\"=dword:9\n"
        "[hkey_current_user\\SOFTWARE\\quillmere\\chronovale]\n"
        "\"C\"=dword:3\n");
    EXPECT_EQ(*d.Find(kKey, "A"), MakeDwordValue(2));
    EXPECT_EQ(*d.Find(kKey, "B"), MakeDwordValue(1));  // a malformed later line is passed over
    EXPECT_EQ(*d.Find(kKey, "C"), MakeDwordValue(3));
    EXPECT_EQ(*d.Find("Software\\Other", "a"), MakeDwordValue(9));
}

TEST(RegFileFormat, names_match_in_either_case_of_the_code_page) {
    RegFileDocument d = Parsed("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]\n"
                               "\"\xC9t\xE9\"=dword:1\n\"\x8A\"=dword:2\n");
    EXPECT_EQ(*d.Find(kKey, "\xE9T\xC9"), MakeDwordValue(1));
    EXPECT_EQ(*d.Find(kKey, "\x9A"), MakeDwordValue(2));
    EXPECT_EQ(d.Find(kKey, "ete"), nullptr);
}

TEST(RegFileFormat, values_outside_the_key_are_not_its_values) {
    RegFileDocument d = Parsed(
        "REGEDIT4\n"
        "\"Before\"=dword:1\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Quillmere\\Chronovale]\n"
        "\"Machine\"=dword:1\n"
        "[HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale\\Sub]\n"
        "\"Sub\"=dword:1\n"
        "[HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale\n"
        "\"BrokenHeader\"=dword:1\n"
        "[-HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]\n"
        "\"Deleting\"=dword:1\n");
    EXPECT_FALSE(d.HasKey(kKey));
    for (const char* name : {"Before", "Machine", "Sub", "BrokenHeader", "Deleting"})
        EXPECT_EQ(d.Find(kKey, name), nullptr) << name;
}

TEST(RegFileFormat, a_continuation_reads_on_but_never_swallows_a_line) {
    RegFileDocument d = Parsed(
        "REGEDIT4\n"
        "[HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]\n"
        "\"Long\"=hex(3):01,02,\\\n"
        "  03,\\\n"
        "\t04 , 05\n"
        "\"Cut\"=hex:01,\\\n"
        "\"Next\"=dword:7\n"
        "\"CutByKey\"=hex:01,\\\n"
        "[HKEY_CURRENT_USER\\Software\\Other]\n"
        "\"O\"=dword:1\n"
        "\"AtEnd\"=hex:01,\\\n");
    EXPECT_EQ(*d.Find(kKey, "Long"), Typed(kRegBinary, Bytes({1, 2, 3, 4, 5})));
    EXPECT_EQ(d.Find(kKey, "Cut"), nullptr);
    EXPECT_EQ(*d.Find(kKey, "Next"), MakeDwordValue(7));
    EXPECT_EQ(d.Find(kKey, "CutByKey"), nullptr);
    EXPECT_EQ(*d.Find("Software\\Other", "O"), MakeDwordValue(1));
    EXPECT_EQ(*d.Find("Software\\Other", "AtEnd"), Typed(kRegBinary, Bytes({1})));  // the file's end ends it
    // A key added after the open-ended value must neither lose nor extend it.
    d.Set("Software\\New", "N", MakeDwordValue(1));
    EXPECT_EQ(*Parsed(d.Serialise()).Find("Software\\Other", "AtEnd"), Typed(kRegBinary, Bytes({1})));
}

TEST(RegFileFormat, a_change_keeps_every_other_line_byte_for_byte) {
    RegFileDocument d = Parsed(
        "REGEDIT4\r\n"
        "\r\n"
        "; kept comment\r\n"
        "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
        "\"X\"=hex(2):25,00\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]\r\n"
        "\"seed\"=dword:1\r\n"
        "\"Unknown\"=hex(b):01,02,03,04,05,06,07,08\r\n"
        "\"SEED\"=dword:2\r\n"
        "  odd line\r\n"
        "\r\n"
        "; about the next key\r\n"
        "[HKEY_CURRENT_USER\\Software\\Third]\r\n"
        "\"Y\"=\"y\"");
    EXPECT_TRUE(d.Set(kKey, "Seed", MakeDwordValue(-1)));
    EXPECT_TRUE(d.Set(kKey, "FaceName", MakeTextValue("Caf\xE9 \"A\\B\"")));
    EXPECT_TRUE(d.Set(kKey, "MusicFilename", MakeTextValue("two\nlines")));
    EXPECT_TRUE(d.Set("Software\\New", "N", MakeDwordValue(5)));
    EXPECT_FALSE(d.Set(kKey, "Seed", MakeDwordValue(-1)));
    EXPECT_EQ(d.Serialise(),
              "REGEDIT4\r\n"
              "\r\n"
              "; kept comment\r\n"
              "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
              "\"X\"=hex(2):25,00\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]\r\n"
              "\"seed\"=dword:1\r\n"
              "\"Unknown\"=hex(b):01,02,03,04,05,06,07,08\r\n"
              "\"SEED\"=dword:ffffffff\r\n"
              "  odd line\r\n"
              "\"FaceName\"=\"Caf\xE9 \\\"A\\\\B\\\"\"\r\n"
              "\"MusicFilename\"=hex(1):74,77,6f,0a,6c,69,6e,65,73,00\r\n"
              "\r\n"
              "; about the next key\r\n"
              "[HKEY_CURRENT_USER\\Software\\Third]\r\n"
              "\"Y\"=\"y\"\r\n"
              "\r\n"
              "[HKEY_CURRENT_USER\\Software\\New]\r\n"
              "\"N\"=dword:00000005\r\n");
    RegFileDocument again = Parsed(d.Serialise());
    EXPECT_EQ(*again.Find(kKey, "MusicFilename"), MakeTextValue("two\nlines"));
    EXPECT_EQ(*again.Find(kKey, "FaceName"), MakeTextValue("Caf\xE9 \"A\\B\""));
}

TEST(RegFileFormat, a_new_document_gets_the_header_and_the_key) {
    RegFileDocument d;
    EXPECT_TRUE(d.EnsureKey(kKey));
    EXPECT_FALSE(d.EnsureKey("software\\quillmere\\CHRONOVALE"));
    d.Set(kKey, "Wireframe", MakeDwordValue(0));
    EXPECT_EQ(d.Serialise(),
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]\n"
              "\"Wireframe\"=dword:00000000\n");
}

TEST(RegFileFormat, long_binary_values_wrap_and_read_back) {
    std::string data;
    for (int i = 0; i < 100; ++i) data.push_back(static_cast<char>(i * 7));
    RegFileDocument d;
    d.Set(kKey, "Blob", Typed(kRegBinary, data));
    std::string text = d.Serialise();
    EXPECT_NE(text.find(",\\\n  "), std::string::npos);
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        EXPECT_LE(end - start, 80u);
    EXPECT_EQ(*Parsed(text).Find(kKey, "Blob"), Typed(kRegBinary, data));
    // A name or key that the syntax cannot hold is refused, not mangled.
    EXPECT_FALSE(d.Set(kKey, "two\nlines", MakeDwordValue(1)));
    EXPECT_FALSE(d.Set("Bad\nKey", "A", MakeDwordValue(1)));
}

// Hand-written lines against what the registry editor makes of them when it
// imports the file. Each case is a file of its own below the key.
TEST(RegFileFormat, lines_read_as_the_registry_editor_imports_them) {
    struct Case {
        const char* lines;
        const char* name;
        bool present;
        RegValue expected;
    };
    const std::string zero(1, '\0');
    const Case cases[] = {
        // Comments: ';' after the data ends it; '#' is no comment.
        {"\"TextColor\"=dword:00123456 ; my favourite colour\n", "TextColor", true, MakeDwordValue(0x123456)},
        {"\"A\"=dword:7;tight\n", "A", true, MakeDwordValue(7)},
        {"\"A\"=dword:1 # not a comment\n", "A", false, {}},
        {"\"A\"=\"x\" ; note\n", "A", true, MakeTextValue("x")},
        {"\"A\"=\"a;b\"\n", "A", true, MakeTextValue("a;b")},
        {"\"A\"=\"x\" # no\n", "A", false, {}},
        {"\"A\"=hex:01,02 ; bytes\n", "A", true, Typed(kRegBinary, Bytes({1, 2}))},
        {"\"A\"=- ; gone\n", "A", false, {}},
        // Blanks: leading, around '=', after "dword:", but not inside "dword:".
        {"\"Seed\"=dword: 5\n", "Seed", true, MakeDwordValue(5)},
        {"\"TimeFormatEnum\" = dword:00000002\n", "TimeFormatEnum", true, MakeDwordValue(2)},
        {"   \"A\"=dword:1\n", "A", true, MakeDwordValue(1)},
        {"\"A\"\t=\tdword:\t3\t\n", "A", true, MakeDwordValue(3)},
        {"@ = \"default\"\n", "", true, MakeTextValue("default")},
        {"\"A\"=dword :1\n", "A", false, {}},
        {"\"A\"=DWORD:a\n", "A", true, MakeDwordValue(10)},
        {"\"A\"=dword:123456789\n", "A", false, {}},
        {"\"A\"=dword:\n", "A", false, {}},
        // "\0" in data is a zero character; "\\0" is a backslash and a 0.
        {"\"A\"=\"\\0\"\n", "A", true, MakeTextValue(zero)},
        {"\"A\"=\"ab\\0cd\"\n", "A", true, Typed(kRegSz, "ab" + zero + "cd" + zero)},
        {"\"A\"=\"\\\\0\"\n", "A", true, MakeTextValue("\\0")},
        // Continuations: a comment after the backslash, blank and comment
        // lines passed over, a stop at a line that is not bytes, the end.
        {"\"A\"=hex:01,\\ ; more below\n  02\n", "A", true, Typed(kRegBinary, Bytes({1, 2}))},
        {"\"A\"=hex:01,\\\n\n  02\n", "A", true, Typed(kRegBinary, Bytes({1, 2}))},
        {"\"A\"=hex:01,\\\n; between\n  02,\\\n  03\n", "A", true, Typed(kRegBinary, Bytes({1, 2, 3}))},
        {"\"A\"=hex:01,\\\n\"B\"=dword:9\n", "A", false, {}},
        {"\"A\"=hex:01,\\\n\"B\"=dword:9\n", "B", true, MakeDwordValue(9)},
        {"\"A\"=hex:01,\\\n  02,\\", "A", true, Typed(kRegBinary, Bytes({1, 2}))},
        {"\"A\"=hex(4):05,00,00,00\n", "A", true, Typed(kRegDword, Bytes({5, 0, 0, 0}))},
        // Duplicates: a malformed later line is passed over, a deletion is not.
        {"\"A\"=dword:1\n\"A\"=dword:zz\n", "A", true, MakeDwordValue(1)},
        {"\"A\"=dword:1\n\"A\"=-\n", "A", false, {}},
        {"\"A\"=-\n\"A\"=dword:4\n", "A", true, MakeDwordValue(4)},
        // [-KEY] deletes the key and the keys below it, up to that line.
        {"\"A\"=dword:1\n[-HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]\n", "A", false, {}},
        {"\"A\"=dword:1\n[-HKEY_CURRENT_USER\\Software\\Quillmere]\n", "A", false, {}},
        {"\"A\"=dword:1\n[-HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale\\Sub]\n", "A", true, MakeDwordValue(1)},
        {"\"A\"=dword:1\n[-HKEY_CURRENT_USER\\Software\\Quillmere\\Chrono]\n", "A", true, MakeDwordValue(1)},
        {"\"A\"=dword:1\n[-HKEY_CURRENT_USER]\n", "A", true, MakeDwordValue(1)},
        {"[-HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]\n\"A\"=dword:2\n", "A", false, {}},
        {"[-HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]\n"
         "[HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale] ; again\n\"A\"=dword:3\n", "A", true, MakeDwordValue(3)},
    };
    int passed = 0;
    for (const Case& c : cases) {
        std::string text = std::string("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]\n") + c.lines;
        RegFileDocument d = Parsed(text);
        const RegValue* found = d.Find(kKey, c.name);
        bool ok = c.present ? (found && *found == c.expected) : found == nullptr;
        EXPECT_TRUE(ok) << c.lines;
        passed += ok;
        // Whatever was read, the file comes back as it was.
        EXPECT_EQ(d.Serialise(), text);
    }
    std::cout << "[ INFO     ] " << passed << " of " << std::size(cases) << " registry-editor cases read as imported\n";
}

TEST(RegFileFormat, a_rewrite_keeps_what_the_user_wrote_around_the_value) {
    RegFileDocument d = Parsed(
        "REGEDIT4\n"
        "[HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]\n"
        "\"TextColor\"=dword:00123456 ; my favourite colour\n"
        "\"Seed\"=dword:5x\n"
        "\"Bin\"=hex:01,\\ ; first\n"
        "; in between\n"
        "  02\n"
        "\"Gone\"=- ; removed by hand\n"
        "\"Blob\"=hex:01,\\\n"
        "  zz\n");
    EXPECT_TRUE(d.Set(kKey, "TextColor", MakeDwordValue(0xff0000)));
    EXPECT_TRUE(d.Set(kKey, "Seed", MakeDwordValue(0)));
    EXPECT_TRUE(d.Set(kKey, "Bin", Typed(kRegBinary, Bytes({3}))));
    EXPECT_TRUE(d.Set(kKey, "Gone", MakeTextValue("back")));
    EXPECT_TRUE(d.Set(kKey, "Blob", MakeDwordValue(1)));
    EXPECT_EQ(d.Serialise(),
              "REGEDIT4\n"
              "[HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]\n"
              "\"TextColor\"=dword:00ff0000 ; my favourite colour\n"
              "; \"Seed\"=dword:5x\n"
              "\"Seed\"=dword:00000000\n"
              "; first\n"
              "; in between\n"
              "\"Bin\"=hex:03\n"
              "\"Gone\"=\"back\" ; removed by hand\n"
              "; \"Blob\"=hex:01,\\\n"
              "\"Blob\"=dword:00000001\n"
              "  zz\n");
    RegFileDocument again = Parsed(d.Serialise());
    EXPECT_EQ(*again.Find(kKey, "Seed"), MakeDwordValue(0));
    EXPECT_EQ(*again.Find(kKey, "Blob"), MakeDwordValue(1));
}

// UTF-16LE as the registry editor exports it: a byte-order mark, the
// version 5 header, CRLF. The bytes are made here, one code unit per
// character, so the store's own encoder checks nothing of itself.
std::string Utf16(std::u16string_view text) {
    std::string out;
    for (char16_t unit : text) {
        out.push_back(static_cast<char>(unit & 0xFF));
        out.push_back(static_cast<char>(unit >> 8));
    }
    return out;
}

TEST(RegFileFormat, utf16_files_read_and_change_in_their_own_encoding) {
    const std::string bom = "\xFF\xFE";
    const std::u16string head =
        u"Windows Registry Editor Version 5.00\r\n"
        u"\r\n"
        u"; \u4E2D\u6587 comment\r\n"
        u"[HKEY_CURRENT_USER\\Software\\Other]\r\n"
        u"\"Name\"=\"\u65E5\u672C\"\r\n"
        u"\r\n"
        u"[HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]\r\n"
        u"\"FaceName\"=\"Caf\u00E9 \u20AC\"\r\n"
        u"\"MusicFilename\"=\"C:\\\\\u97F3\u697D.mp3\"\r\n";
    const std::u16string tail = u"\"Seed\"=dword:00000005\r\n";
    RegFileDocument d = Parsed(bom + Utf16(head + tail));
    EXPECT_EQ(d.FileEncoding(), RegFileDocument::Encoding::Utf16Le);
    EXPECT_EQ(*d.Find(kKey, "FaceName"), MakeTextValue("Caf\xE9 \x80"));  // Windows-1252
    EXPECT_EQ(*d.Find(kKey, "Seed"), MakeDwordValue(5));
    // Characters the code page lacks make the value unreadable, not wrong.
    EXPECT_EQ(d.Find(kKey, "MusicFilename"), nullptr);
    EXPECT_EQ(d.Serialise(), bom + Utf16(head + tail));

    EXPECT_TRUE(d.Set(kKey, "Seed", MakeDwordValue(6)));
    EXPECT_TRUE(d.Set(kKey, "MusicFilename", MakeTextValue("")));
    EXPECT_TRUE(d.Set(kKey, "FaceName", MakeTextValue("\xC9t\xE9")));
    EXPECT_TRUE(d.Set("Software\\New", "N", MakeDwordValue(1)));
    EXPECT_EQ(d.Serialise(), bom + Utf16(
        u"Windows Registry Editor Version 5.00\r\n"
        u"\r\n"
        u"; \u4E2D\u6587 comment\r\n"
        u"[HKEY_CURRENT_USER\\Software\\Other]\r\n"
        u"\"Name\"=\"\u65E5\u672C\"\r\n"
        u"\r\n"
        u"[HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]\r\n"
        u"\"FaceName\"=\"\u00C9t\u00E9\"\r\n"
        u"; \"MusicFilename\"=\"C:\\\\\u97F3\u697D.mp3\"\r\n"
        u"\"MusicFilename\"=\"\"\r\n"
        u"\"Seed\"=dword:00000006\r\n"
        u"\r\n"
        u"[HKEY_CURRENT_USER\\Software\\New]\r\n"
        u"\"N\"=dword:00000001\r\n"));

    RegFileDocument other;
    EXPECT_EQ(other.Parse(bom + Utf16(u"Windows Registry Editor Version 5.00\r\n\"A\"=\"x") +
                          std::string(2, '\0') + Utf16(u"y\"\r\n")),
              RegParseResult::Unparseable);  // a zero character: not a text file
    EXPECT_EQ(other.Parse(bom + Utf16(u"REGEDIT5\r\n")), RegParseResult::Unparseable);
    EXPECT_EQ(other.Parse(bom + Utf16(u" \r\n")), RegParseResult::Empty);
}

// The fuzz target aborts when a property fails; each input it ever broke on
// is kept and run again here.
TEST(RegFileFormat, kept_fuzz_inputs_pass_the_fuzz_checks) {
    DIR* dir = opendir(REGFILE_FUZZ_SEEDS);
    ASSERT_NE(dir, nullptr);
    int count = 0;
    while (struct dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        std::ifstream file(std::string(REGFILE_FUZZ_SEEDS) + "/" + entry->d_name, std::ios::binary);
        std::stringstream bytes;
        bytes << file.rdbuf();
        std::string input = bytes.str();
        EXPECT_EQ(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size()), 0);
        ++count;
    }
    closedir(dir);
    EXPECT_GT(count, 0);
}

}  // namespace
