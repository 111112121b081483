// The resources of wayfold.exe, read back from the built program with the Win32 resource and
// version functions: the dialog template byte for byte, the icon groups and images, the
// version record, and the language of every resource.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The built program, as a Windows path (CMake gives a Linux one; Wine's Z: is the root).
std::string ProgramPath() {
    std::string path = WAYFOLD_EXE;
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    return path;
}

class ResourcesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        module = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << "cannot load " << ProgramPath() << ": error " << GetLastError();
    }
    static void TearDownTestSuite() {
        if (module) FreeLibrary(module);
        module = nullptr;
    }

    // The bytes of one resource with the neutral language; empty when there is none.
    static Bytes Resource(int type, int id) {
        HRSRC found = FindResourceExA(module, MAKEINTRESOURCEA(type), MAKEINTRESOURCEA(id),
                                      MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
        if (!found) return {};
        HGLOBAL loaded = LoadResource(module, found);
        const auto* data = static_cast<const std::uint8_t*>(LockResource(loaded));
        return Bytes(data, data + SizeofResource(module, found));
    }

    static HMODULE module;
};

HMODULE ResourcesTest::module = nullptr;

// Builds expected resource bytes: little-endian numbers, UTF-16 texts, DWORD alignment.
class Writer {
public:
    Writer& Word(std::uint16_t value) {
        bytes.push_back(static_cast<std::uint8_t>(value));
        bytes.push_back(static_cast<std::uint8_t>(value >> 8));
        return *this;
    }
    Writer& Dword(std::uint32_t value) { return Word(static_cast<std::uint16_t>(value)).Word(static_cast<std::uint16_t>(value >> 16)); }
    Writer& Text(const char* text) {  // with its terminating zero
        for (const char* c = text; *c; ++c) Word(static_cast<std::uint8_t>(*c));
        return Word(0);
    }
    Writer& Align() {
        while (bytes.size() % 4) bytes.push_back(0);
        return *this;
    }
    Bytes bytes;
};

TEST_F(ResourcesTest, DialogTemplateIsExactlyTheConverterDialog) {
    Writer expected;
    expected.Dword(0x80C000C0)  // WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT
        .Dword(0)               // extended style
        .Word(3)                // controls
        .Word(6).Word(15).Word(200).Word(111)
        .Word(0)                // no menu
        .Word(0)                // the default dialog class
        .Text("wayfold")
        .Word(8).Text("MS Sans Serif");
    struct Control {
        std::uint32_t style;
        std::uint16_t x, y, cx, cy, id, classOrdinal;
        const char* text;
    } controls[] = {
        {0x50010001, 60, 8, 80, 14, 1, 0x0080, "Convert GPX File"},
        {0x50010000, 76, 88, 48, 14, 2, 0x0080, "Exit"},
        {0x50000001, 10, 30, 180, 50, 101, 0x0082, "Click the \"Convert\" button to begin"},
    };
    for (const Control& c : controls) {
        expected.Align().Dword(c.style).Dword(0).Word(c.x).Word(c.y).Word(c.cx).Word(c.cy).Word(c.id);
        expected.Word(0xFFFF).Word(c.classOrdinal).Text(c.text).Word(0);  // no creation data
    }
    Bytes actual = Resource(5, 2000);
    // windres pads the resource to a multiple of four bytes.
    Bytes padded = expected.Align().bytes;
    EXPECT_EQ(actual, padded);
}

// One image of an icon group: its directory entry and what its bitmap header must say.
struct IconImage {
    std::uint8_t width, height, colourCount, reserved;
    std::uint16_t planes, bitCount;
    std::uint32_t bytes;
    std::uint16_t id;
};

void ExpectIconGroup(const Bytes& group, const std::vector<IconImage>& images) {
    Writer expected;
    expected.Word(0).Word(1).Word(static_cast<std::uint16_t>(images.size()));
    for (const IconImage& i : images) {
        expected.Word(static_cast<std::uint16_t>(i.width | i.height << 8))
            .Word(static_cast<std::uint16_t>(i.colourCount | i.reserved << 8))
            .Word(i.planes).Word(i.bitCount).Dword(i.bytes).Word(i.id);
    }
    EXPECT_EQ(group, expected.bytes);
}

TEST_F(ResourcesTest, IconGroupsAndTheirImages) {
    const std::vector<IconImage> frame = {{32, 32, 0, 1, 1, 8, 2216, 4}};
    const std::vector<IconImage> classic = {
        {32, 32, 16, 0, 1, 4, 744, 1},
        {32, 32, 2, 0, 1, 1, 304, 2},
        {16, 16, 16, 0, 1, 4, 296, 3},
    };
    ExpectIconGroup(Resource(14, 1), frame);
    ExpectIconGroup(Resource(14, 1001), classic);

    for (const std::vector<IconImage>* group : {&frame, &classic}) {
        for (const IconImage& i : *group) {
            SCOPED_TRACE("icon image " + std::to_string(i.id));
            Bytes image = Resource(3, i.id);
            ASSERT_EQ(image.size(), i.bytes);
            BITMAPINFOHEADER header;
            std::memcpy(&header, image.data(), sizeof header);
            EXPECT_EQ(header.biSize, 40u);
            EXPECT_EQ(header.biWidth, i.width);
            EXPECT_EQ(header.biHeight, 2 * i.height);  // colour pixels and mask
            EXPECT_EQ(header.biPlanes, 1);
            EXPECT_EQ(header.biBitCount, i.bitCount);
            EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
            // Header, colour table, colour rows and mask rows, each row a multiple of 4 bytes.
            std::uint32_t colours = i.bitCount == 8 ? 256 : i.bitCount == 4 ? 16 : 2;
            std::uint32_t colourRow = (i.width * i.bitCount + 31u) / 32u * 4u;
            std::uint32_t maskRow = (i.width + 31u) / 32u * 4u;
            EXPECT_EQ(40 + 4 * colours + i.height * (colourRow + maskRow), i.bytes);
        }
    }
}

// The children of one node of a version resource: key, value bytes, wValueLength, wType.
struct VersionNode {
    std::string key;
    Bytes value;
    std::uint16_t valueLength, type;
    std::vector<VersionNode> children;
};

VersionNode ParseVersionNode(const Bytes& data, std::size_t at) {
    auto word = [&](std::size_t p) { return static_cast<std::uint16_t>(data.at(p) | data.at(p + 1) << 8); };
    VersionNode node;
    std::uint16_t length = word(at);
    node.valueLength = word(at + 2);
    node.type = word(at + 4);
    std::size_t p = at + 6;
    for (; word(p) != 0; p += 2) node.key += static_cast<char>(word(p));
    p = (p + 2 + 3) & ~std::size_t(3);
    std::size_t valueBytes = node.type == 1 ? 2u * node.valueLength : node.valueLength;
    node.value.assign(data.begin() + static_cast<std::ptrdiff_t>(p), data.begin() + static_cast<std::ptrdiff_t>(p + valueBytes));
    p = (p + valueBytes + 3) & ~std::size_t(3);
    while (p < at + length) {
        node.children.push_back(ParseVersionNode(data, p));
        std::uint16_t childLength = word(p);
        p = (p + childLength + 3) & ~std::size_t(3);
    }
    return node;
}

std::string Utf16ToText(const Bytes& value) {
    std::string text;
    for (std::size_t i = 0; i + 1 < value.size(); i += 2) text += static_cast<char>(value[i] | value[i + 1] << 8);
    return text;
}

TEST_F(ResourcesTest, VersionRecordFixedPart) {
    std::string path = ProgramPath();
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwStrucVersion, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0u);
    EXPECT_EQ(fixed->dwFileFlags, 0x3Fu);
    EXPECT_EQ(fixed->dwFileOS, 1u);  // VOS__WINDOWS16
    EXPECT_EQ(fixed->dwFileType, 1u);  // VFT_APP
    EXPECT_EQ(fixed->dwFileSubtype, 0u);
    EXPECT_EQ(fixed->dwFileDateMS, 0u);
    EXPECT_EQ(fixed->dwFileDateLS, 0u);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 0x04E4);

    char* product = nullptr;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904E4\\ProductName", reinterpret_cast<void**>(&product), &length));
    EXPECT_STREQ(product, "wayfold");
}

TEST_F(ResourcesTest, VersionRecordStringsInOrderWithTheirTerminators) {
    VersionNode root = ParseVersionNode(Resource(16, 1), 0);
    EXPECT_EQ(root.key, "VS_VERSION_INFO");
    ASSERT_EQ(root.children.size(), 2u);
    const VersionNode& stringInfo = root.children[0];
    const VersionNode& varInfo = root.children[1];
    EXPECT_EQ(stringInfo.key, "StringFileInfo");
    ASSERT_EQ(stringInfo.children.size(), 1u);
    const VersionNode& table = stringInfo.children[0];
    EXPECT_EQ(table.key, "040904E4");

    const std::vector<std::pair<std::string, std::string>> expected = {
        {"CompanyName", "The wayfold authors"},
        {"FileDescription", "wayfold for Windows"},
        {"FileVersion", "1.0"},
        {"InternalName", "wayfold"},
        {"LegalCopyright", "Copyright (C) 2026 The wayfold authors"},
        {"LegalTrademarks", "Windows(TM) is a trademark of Microsoft Corporation"},
        {"OriginalFilename", "wayfold.exe"},
        {"ProductName", "wayfold"},
        {"ProductVersion", "1.0"},
    };
    ASSERT_EQ(table.children.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const VersionNode& entry = table.children[i];
        EXPECT_EQ(entry.key, expected[i].first);
        EXPECT_EQ(entry.type, 1) << entry.key;
        // The value with exactly one terminating zero.
        EXPECT_EQ(Utf16ToText(entry.value), expected[i].second + std::string(1, '\0')) << entry.key;
        EXPECT_EQ(entry.valueLength, expected[i].second.size() + 1) << entry.key;
    }

    EXPECT_EQ(varInfo.key, "VarFileInfo");
    ASSERT_EQ(varInfo.children.size(), 1u);
    EXPECT_EQ(varInfo.children[0].key, "Translation");
    EXPECT_EQ(varInfo.children[0].value, (Bytes{0x09, 0x04, 0xE4, 0x04}));
}

// Every resource of the program, by type, id and language.
std::set<std::tuple<int, int, int>> gFound;

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR type, LPCSTR name, WORD language, LONG_PTR) {
    gFound.insert({static_cast<int>(reinterpret_cast<ULONG_PTR>(type)),
                   static_cast<int>(reinterpret_cast<ULONG_PTR>(name)), language});
    return TRUE;
}

BOOL CALLBACK AddName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR) {
    EXPECT_TRUE(IS_INTRESOURCE(name)) << "a resource with a name instead of an id";
    if (IS_INTRESOURCE(name)) EnumResourceLanguagesA(module, type, name, AddLanguage, 0);
    return TRUE;
}

BOOL CALLBACK AddType(HMODULE module, LPSTR type, LONG_PTR) {
    EXPECT_TRUE(IS_INTRESOURCE(type)) << "a resource type with a name instead of an id";
    if (IS_INTRESOURCE(type)) EnumResourceNamesA(module, type, AddName, 0);
    return TRUE;
}

TEST_F(ResourcesTest, EveryResourceHasTheNeutralLanguageAndNothingElseIsThere) {
    gFound.clear();
    EnumResourceTypesA(module, AddType, 0);
    const std::set<std::tuple<int, int, int>> expected = {
        {3, 1, 0}, {3, 2, 0}, {3, 3, 0}, {3, 4, 0},  // icon images
        {5, 2000, 0},                                // IDD_CLIENT
        {14, 1, 0}, {14, 1001, 0},                   // icon groups
        {16, 1, 0},                                  // version record
    };
    EXPECT_EQ(gFound, expected);
}

}  // namespace
