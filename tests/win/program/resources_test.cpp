// The program's resources, read back from the built executable through the
// platform's resource functions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "program_support.h"
#include "run/texts.h"
#include "ui/resource.h"

namespace {

const WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

// The raw bytes of a resource in Japanese; empty when there is none.
std::vector<unsigned char> RawResource(LPCWSTR type, UINT id)
{
    const HMODULE module = ProgramModule();
    if (module == nullptr) {
        ADD_FAILURE() << "Sorvel.exe did not load";
        return {};
    }
    HRSRC found = ::FindResourceExW(module, type, MAKEINTRESOURCEW(id), kJapanese);
    if (found == nullptr) {
        return {};
    }
    const auto* data = static_cast<const unsigned char*>(::LockResource(::LoadResource(module, found)));
    return std::vector<unsigned char>(data, data + ::SizeofResource(module, found));
}

// Reads a resource's fields in order.
class Reader {
public:
    explicit Reader(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}

    uint32_t Dword() { return Take<uint32_t>(); }
    uint16_t Word() { return Take<uint16_t>(); }
    int16_t Short() { return Take<int16_t>(); }
    uint8_t Byte() { return Take<uint8_t>(); }
    // A zero-terminated UTF-16 string.
    std::u16string String()
    {
        std::u16string s;
        for (char16_t c = Take<char16_t>(); c != 0; c = Take<char16_t>()) {
            s.push_back(c);
        }
        return s;
    }
    // A string, or 0xFFFF and an ordinal (returned as u"#ordinal").
    std::u16string StringOrOrdinal()
    {
        const std::size_t start = offset_;
        if (Word() == 0xFFFF) {
            return u"#" + ToU16(std::to_string(Word()));
        }
        offset_ = start;
        return String();
    }
    void AlignDword() { offset_ = (offset_ + 3) & ~std::size_t{3}; }
    std::size_t Offset() const { return offset_; }
    std::size_t Size() const { return bytes_.size(); }

private:
    template <class T>
    T Take()
    {
        T value{};
        if (offset_ + sizeof(T) <= bytes_.size()) {
            std::memcpy(&value, bytes_.data() + offset_, sizeof(T));
        } else {
            ADD_FAILURE() << "read past the end at " << offset_;
        }
        offset_ += sizeof(T);
        return value;
    }
    static std::u16string ToU16(const std::string& s) { return std::u16string(s.begin(), s.end()); }

    const std::vector<unsigned char>& bytes_;
    std::size_t offset_ = 0;
};

struct ControlRecord {
    uint32_t style;
    short x, y, cx, cy;
    uint16_t id;
    std::u16string windowClass;
    std::u16string text;
};

const std::u16string kDialogFont = u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF";  // ＭＳ Ｐゴシック

std::wstring Wide(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

}  // namespace

TEST(Resources, AboutBoxTemplate)
{
    const std::vector<unsigned char> bytes = RawResource(MAKEINTRESOURCEW(5), IDD_ABOUTBOX);
    ASSERT_FALSE(bytes.empty()) << "template 100 in language 1041";
    Reader r(bytes);
    EXPECT_EQ(r.Dword(), 0x80C800C0u) << "style";
    EXPECT_EQ(r.Dword(), 0u) << "extended style";
    EXPECT_EQ(r.Word(), 4u) << "controls";
    EXPECT_EQ(r.Short(), 0);
    EXPECT_EQ(r.Short(), 0);
    EXPECT_EQ(r.Short(), 235);
    EXPECT_EQ(r.Short(), 55);
    EXPECT_EQ(r.StringOrOrdinal(), u"") << "menu";
    EXPECT_EQ(r.StringOrOrdinal(), u"") << "class";
    EXPECT_EQ(r.String(), u"Sorvel\u306E\uFF8A\uFF9E\uFF70\uFF7C\uFF9E\uFF6E\uFF9D\u60C5\u5831");
    EXPECT_EQ(r.Word(), 9u) << "point size";
    EXPECT_EQ(r.String(), kDialogFont);

    const ControlRecord expected[] = {
        {0x50000003, 11, 17, 20, 20, 0xFFFF, u"#130", u"#128"},
        {0x50020080, 40, 10, 119, 8, 0xFFFF, u"#130", u"Sorvel Version 0.1"},
        {0x50020000, 40, 25, 119, 8, 0xFFFF, u"#130", u""},  // our own copyright line
        {0x50030001, 178, 7, 50, 14, IDOK, u"#128", u"OK"},
    };
    for (const ControlRecord& e : expected) {
        SCOPED_TRACE(Wide(e.text));
        r.AlignDword();
        EXPECT_EQ(r.Dword(), e.style);
        EXPECT_EQ(r.Dword(), 0u) << "extended style";
        EXPECT_EQ(r.Short(), e.x);
        EXPECT_EQ(r.Short(), e.y);
        EXPECT_EQ(r.Short(), e.cx);
        EXPECT_EQ(r.Short(), e.cy);
        EXPECT_EQ(r.Word(), e.id);
        EXPECT_EQ(r.StringOrOrdinal(), e.windowClass);
        const std::u16string text = r.StringOrOrdinal();
        if (!e.text.empty()) {
            EXPECT_EQ(text, e.text);
        } else {
            EXPECT_NE(text.find(u"Copyright"), std::u16string::npos);
        }
        EXPECT_EQ(r.Word(), 0u) << "no creation data";
    }
    EXPECT_LE(r.Offset(), r.Size());
    EXPECT_GE(r.Offset() + 3, r.Size()) << "nothing after the last control";
}

TEST(Resources, MainWindowTemplate)
{
    const std::vector<unsigned char> bytes = RawResource(MAKEINTRESOURCEW(5), IDD_SURFACE_DIALOG);
    ASSERT_FALSE(bytes.empty()) << "template 102 in language 1041";
    Reader r(bytes);
    EXPECT_EQ(r.Word(), 1u) << "extended template version";
    EXPECT_EQ(r.Word(), 0xFFFFu) << "signature";
    EXPECT_EQ(r.Dword(), 0u) << "help id";
    EXPECT_EQ(r.Dword(), 0x00040000u) << "extended style";
    EXPECT_EQ(r.Dword(), 0x10CF0040u) << "style";
    EXPECT_EQ(r.Word(), 0u) << "controls";
    EXPECT_EQ(r.Short(), 0);
    EXPECT_EQ(r.Short(), 0);
    EXPECT_EQ(r.Short(), 275);
    EXPECT_EQ(r.Short(), 203);
    EXPECT_EQ(r.StringOrOrdinal(), u"") << "menu";
    EXPECT_EQ(r.StringOrOrdinal(), u"") << "class";
    EXPECT_EQ(r.String(), u"Sorvel");
    EXPECT_EQ(r.Word(), 9u) << "point size";
    EXPECT_EQ(r.Word(), 0u) << "weight";
    EXPECT_EQ(r.Byte(), 0u) << "italic";
    EXPECT_EQ(r.Byte(), 1u) << "character set";
    EXPECT_EQ(r.String(), kDialogFont);
    EXPECT_EQ(r.Offset(), r.Size());
}

TEST(Resources, AboutMenuString)
{
    // Strings live in blocks of 16: string 101 is entry 5 of block 7.
    ASSERT_FALSE(RawResource(MAKEINTRESOURCEW(6), IDS_ABOUTBOX / 16 + 1).empty()) << "string block in 1041";
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(ProgramModule(), IDS_ABOUTBOX, reinterpret_cast<LPWSTR>(&text), 0);
    ASSERT_GT(length, 0);
    const std::u16string expected = u"Sorvel \u306E\uFF8A\uFF9E\uFF70\uFF7C\uFF9E\uFF6E\uFF9D\u60C5\u5831(&A)...";
    EXPECT_EQ(std::u16string(text, text + length), expected);
}

TEST(Resources, TheEditionsTextsAreTheseTexts)
{
    auto utf16 = [](const char* utf8) {
        wchar_t buffer[128] = {};
        const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, buffer, 128);
        return n > 0 ? std::u16string(buffer, buffer + n - 1) : std::u16string(u"(not UTF-8)");
    };
    const wchar_t* menu = nullptr;
    const int length = ::LoadStringW(ProgramModule(), IDS_ABOUTBOX, reinterpret_cast<LPWSTR>(&menu), 0);
    EXPECT_EQ(utf16(sorvel::texts::kAboutMenuItem), std::u16string(menu, menu + std::max(length, 0)));
    EXPECT_EQ(utf16(sorvel::texts::kAboutCaption), u"Sorvel\u306E\uFF8A\uFF9E\uFF70\uFF7C\uFF9E\uFF6E\uFF9D\u60C5\u5831");
    EXPECT_EQ(utf16(sorvel::texts::kAboutVersion), u"Sorvel Version 0.1");
    EXPECT_EQ(utf16(sorvel::texts::kAboutAuthor), u"Copyright (C) 2026 Sorvel");
    EXPECT_EQ(utf16(sorvel::texts::kTitle), u"Sorvel");
    EXPECT_EQ(utf16(sorvel::texts::kOk), u"OK");
}

TEST(Resources, IconGroupHoldsTwoSixteenColourImages)
{
    const std::vector<unsigned char> group = RawResource(MAKEINTRESOURCEW(14), IDR_MAINFRAME);
    ASSERT_FALSE(group.empty()) << "icon group 128 in language 1041";
    Reader r(group);
    EXPECT_EQ(r.Word(), 0u);
    EXPECT_EQ(r.Word(), 1u) << "icons";
    ASSERT_EQ(r.Word(), 2u) << "images";
    const struct {
        uint8_t size;
        uint32_t bytes;
    } expected[] = {{32, 744}, {16, 296}};
    ASSERT_NE(ProgramModule(), nullptr);
    for (const auto& e : expected) {
        EXPECT_EQ(r.Byte(), e.size) << "width";
        EXPECT_EQ(r.Byte(), e.size) << "height";
        EXPECT_EQ(r.Byte(), 16u) << "colours";
        r.Byte();
        EXPECT_EQ(r.Word(), 1u) << "planes";
        EXPECT_EQ(r.Word(), 4u) << "bits per pixel";
        EXPECT_EQ(r.Dword(), e.bytes);
        const uint16_t image = r.Word();
        const std::vector<unsigned char> bits = RawResource(MAKEINTRESOURCEW(3), image);
        ASSERT_EQ(bits.size(), e.bytes) << "image " << image;
        BITMAPINFOHEADER header;
        std::memcpy(&header, bits.data(), sizeof header);
        EXPECT_EQ(header.biWidth, e.size);
        EXPECT_EQ(header.biHeight, 2 * e.size) << "colour and mask";
        EXPECT_EQ(header.biBitCount, 4);
    }
    EXPECT_NE(::LoadIconW(ProgramModule(), MAKEINTRESOURCEW(IDR_MAINFRAME)), nullptr);
}

TEST(Resources, VersionBlock)
{
    ASSERT_FALSE(RawResource(MAKEINTRESOURCEW(16), 1).empty()) << "version block in 1041";
    const std::wstring path = ProgramPath();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<unsigned char> info(size);
    ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileSubtype, 0u);
    EXPECT_EQ(fixed->dwFileDateMS, 0u);
    EXPECT_EQ(fixed->dwFileDateLS, 0u);

    WORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 0x04B0);

    const struct {
        const wchar_t* name;
        std::u16string value;
    } strings[] = {
        {L"CompanyName", u""},
        {L"FileDescription", u"Sorvel MFC \uFF71\uFF8C\uFF9F\uFF98\uFF79\uFF70\uFF7C\uFF6E\uFF9D"},
        {L"FileVersion", u"1, 0, 0, 1"},
        {L"InternalName", u"Sorvel"},
        {L"LegalTrademarks", u""},
        {L"OriginalFilename", u"Sorvel.EXE"},
        {L"ProductName", u"Sorvel \uFF71\uFF8C\uFF9F\uFF98\uFF79\uFF70\uFF7C\uFF6E\uFF9D"},
        {L"ProductVersion", u"1, 0, 0, 1"},
    };
    for (const auto& s : strings) {
        const std::wstring key = std::wstring(L"\\StringFileInfo\\041104B0\\") + s.name;
        wchar_t* value = nullptr;
        ASSERT_TRUE(::VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length)) << key;
        EXPECT_EQ(std::u16string(value, value + std::char_traits<wchar_t>::length(value)), s.value) << key;
    }
    wchar_t* legal = nullptr;
    ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\StringFileInfo\\041104B0\\LegalCopyright",
                                 reinterpret_cast<void**>(&legal), &length));
    EXPECT_NE(std::wstring(legal).find(L"Copyright"), std::wstring::npos);
}
