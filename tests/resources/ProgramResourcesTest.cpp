// The program's own resources as they are linked into setup.exe: the wizard's template, its
// Traditional Chinese texts, the skin, the icon, the manifest and the version block. Checked in
// the test build's payload and, when it has been built, in the shipped 32-bit program.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

#include "res/resource.h"
#include "tests/resources/ResourceReader.h"
#include "tests/support/TestSupport.h"

using namespace restest;

namespace {

constexpr LANGID kChineseTaiwan = 0x0404;
constexpr LANGID kEnglishUs = 0x0409;
constexpr DWORD kChildVisible = WS_CHILD | WS_VISIBLE;
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kStaticAtom = 0x0082;

struct ExpectedControl {
    DWORD id;
    WORD atom;              // 0: the class is the string below
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
};

// Template order is creation order, which the wizard's layout relies on, and the tab order of the
// four tab stops.
const ExpectedControl kControls[] = {
    {IDOK, kButtonAtom, nullptr, L"", kChildVisible | BS_PUSHBUTTON | WS_TABSTOP, 0, 135, 158, 50, 14},
    {IDCANCEL, kButtonAtom, nullptr, L"", kChildVisible | BS_PUSHBUTTON | WS_TABSTOP, 0, 230, 158, 50, 14},
    {IDC_NOTE, kStaticAtom, nullptr, L"", kChildVisible | SS_LEFT, 0, 24, 39, 204, 23},
    {IDC_ACTION, kButtonAtom, nullptr, L"", kChildVisible | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 68, 158, 50, 14},
    {IDC_PROMPT, kStaticAtom, nullptr, L"", kChildVisible | SS_LEFT, 0, 23, 71, 207, 29},
    {IDC_PROGRESS, 0, L"msctls_progress32", L"Progress1", kChildVisible | WS_BORDER, 0, 23, 106, 209, 14},
    {IDC_CLOSE, kButtonAtom, nullptr, L"", kChildVisible | BS_PUSHBUTTON, 0, 249, 7, 31, 13},
    {IDC_TITLE, kStaticAtom, nullptr, L"", kChildVisible | SS_LEFT, 0, 20, 10, 208, 27},
    {IDC_LAUNCH_CHECK, kButtonAtom, nullptr, L"", kChildVisible | BS_CHECKBOX | WS_TABSTOP, WS_EX_TRANSPARENT, 26,
     128, 8, 8},
    {IDC_MINIMIZE, kButtonAtom, nullptr, L"", kChildVisible | BS_PUSHBUTTON, 0, 217, 7, 31, 13},
    {IDC_LAUNCH_TEXT, kStaticAtom, nullptr, L"", kChildVisible | SS_LEFT, 0, 35, 125, 207, 14},
};

const wchar_t* const kStrings[IDS_CLOSE + 1] = {
    nullptr,
    L"安裝",
    L"取消",
    L"完成",
    L"單擊\"安裝\"開始安裝。單擊\"取消\"退出嚮導。",
    L" ",
    L"開始複製檔案",
    L" ",
    L"單擊\"完成\"退出嚮導。",
    L" ",
    L"刪除",
    L" ",
    L"單擊\"刪除\"開始卸載。單擊\"取消\"退出嚮導。",
    L"正在刪除文件...",
    L" ",
    L" ",
    L" ",
    L" ",
    L"%s 安裝程式",
    L" ",
    L"立即啟動應用程序",
    L"最小化",
    L"關閉",
};

struct ExpectedBitmap {
    WORD id;
    LONG width, height;
};

const ExpectedBitmap kBitmaps[] = {
    {IDB_BACKGROUND, 584, 414},
    {IDB_BUTTON_NORMAL, 100, 23},
    {IDB_BUTTON_PRESSED, 100, 23},
    {IDB_BUTTON_HOVER, 100, 23},
    {IDB_BUTTON_DISABLED, 100, 23},
    {IDB_CLOSE_NORMAL, 16, 16},
    {IDB_CLOSE_HOVER, 16, 16},
    {IDB_CLOSE_DISABLED, 16, 16},
    {IDB_OPTION_EMPTY, 23, 28},
    {IDB_OPTION_SELECTED, 23, 28},
    {IDB_CHECK_EMPTY, 18, 18},
    {IDB_CHECK_TICKED, 18, 18},
    {IDB_MINIMIZE_NORMAL, 16, 16},
    {IDB_MINIMIZE_HOVER, 16, 16},
    {IDB_MINIMIZE_DISABLED, 16, 16},
};

std::wstring Describe(const NameOrOrdinal& field) {
    return field.isOrdinal ? L"#" + std::to_wstring(field.ordinal) : L"\"" + field.text + L"\"";
}

#pragma pack(push, 2)
struct GroupIconDir {
    WORD reserved;
    WORD type;
    WORD count;
};
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)

// Which setup.exe: the test build's (always there) or the shipped 32-bit one (when built).
struct ProgramImage {
    const char* name;
    bool product;
};

void PrintTo(const ProgramImage& image, std::ostream* out) { *out << image.name; }

std::wstring ImagePath(const ProgramImage& image) {
    return image.product ? testsupport::ProductDir() + L"\\sample-payload\\setup.exe"
                         : testsupport::PayloadDir() + L"\\setup.exe";
}

class ProgramResources : public ::testing::TestWithParam<ProgramImage> {
protected:
    void SetUp() override {
        m_path = ImagePath(GetParam());
        if (GetParam().product && !testsupport::FileExists(m_path))
            GTEST_SKIP() << "the 32-bit program has not been built: " << testsupport::Narrow(m_path);
        m_module = LoadAsData(m_path);
        ASSERT_TRUE(m_module) << testsupport::Narrow(m_path) << " error " << ::GetLastError();
    }
    HMODULE module() const { return m_module.get(); }

    std::wstring m_path;
    fw::UniqueModule m_module;
};

TEST_P(ProgramResources, DialogTemplateIsTheCaptionlessWizardWithElevenControls) {
    auto bytes = ResourceBytes(module(), RT_DIALOG, MAKEINTRESOURCEW(IDD_LANGSETUP_DIALOG), kChineseTaiwan);
    ASSERT_TRUE(bytes) << "no dialog 102 in Chinese (Taiwan)";
    std::optional<DialogTemplateEx> dialog = ParseDialogTemplateEx(*bytes);
    ASSERT_TRUE(dialog) << "dialog 102 is not a well-formed extended template";

    EXPECT_EQ(dialog->helpId, 0u);
    EXPECT_EQ(dialog->style, 0x90000040u) << std::hex << dialog->style;
    EXPECT_EQ(dialog->exStyle, 0x00040000u) << std::hex << dialog->exStyle;
    EXPECT_EQ(dialog->x, 0);
    EXPECT_EQ(dialog->y, 0);
    EXPECT_EQ(dialog->cx, 287);
    EXPECT_EQ(dialog->cy, 179);
    EXPECT_TRUE(!dialog->menu.isOrdinal && dialog->menu.text.empty()) << "menu " << Describe(dialog->menu);
    EXPECT_TRUE(!dialog->windowClass.isOrdinal && dialog->windowClass.text.empty())
        << "class " << Describe(dialog->windowClass);
    EXPECT_EQ(dialog->title, L"");
    EXPECT_EQ(dialog->pointSize, 9);
    EXPECT_EQ(dialog->weight, 0);
    EXPECT_EQ(dialog->italic, 0);
    EXPECT_EQ(dialog->charset, 1);
    EXPECT_EQ(dialog->typeface, L"System");

    ASSERT_EQ(dialog->items.size(), std::size(kControls));
    for (size_t i = 0; i < dialog->items.size(); ++i) {
        const DialogItem& item = dialog->items[i];
        const ExpectedControl& want = kControls[i];
        SCOPED_TRACE("control " + std::to_string(i + 1) + ", id " + std::to_string(want.id));
        EXPECT_EQ(item.id, want.id);
        if (want.atom) {
            EXPECT_TRUE(item.windowClass.isOrdinal && item.windowClass.ordinal == want.atom)
                << "class " << Describe(item.windowClass);
        } else {
            EXPECT_TRUE(!item.windowClass.isOrdinal && item.windowClass.text == want.className)
                << "class " << Describe(item.windowClass);
        }
        EXPECT_TRUE(!item.text.isOrdinal && item.text.text == want.text) << "text " << Describe(item.text);
        EXPECT_EQ(item.style, want.style) << std::hex << item.style;
        EXPECT_EQ(item.exStyle, want.exStyle) << std::hex << item.exStyle;
        EXPECT_EQ(item.helpId, 0u);
        EXPECT_EQ(item.x, want.x);
        EXPECT_EQ(item.y, want.y);
        EXPECT_EQ(item.cx, want.cx);
        EXPECT_EQ(item.cy, want.cy);
        EXPECT_EQ(item.extraBytes, 0);
    }
}

TEST_P(ProgramResources, StringTableHoldsTheTwentyTwoTraditionalChineseTexts) {
    for (UINT id = 1; id <= IDS_CLOSE; ++id) {
        SCOPED_TRACE("string " + std::to_string(id));
        EXPECT_EQ(StringInLanguage(module(), id, kChineseTaiwan), kStrings[id]);
    }
}

TEST_P(ProgramResources, SkinBitmapsAreUncompressed24BitAtTheirSizes) {
    for (const ExpectedBitmap& want : kBitmaps) {
        SCOPED_TRACE("bitmap " + std::to_string(want.id));
        auto bytes = ResourceBytes(module(), RT_BITMAP, MAKEINTRESOURCEW(want.id), kChineseTaiwan);
        ASSERT_TRUE(bytes) << "missing in Chinese (Taiwan)";
        ASSERT_GE(bytes->size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER info;
        std::memcpy(&info, bytes->data(), sizeof info);
        EXPECT_EQ(info.biSize, sizeof(BITMAPINFOHEADER));
        EXPECT_EQ(info.biWidth, want.width);
        EXPECT_EQ(info.biHeight < 0 ? -info.biHeight : info.biHeight, want.height);
        EXPECT_EQ(info.biPlanes, 1);
        EXPECT_EQ(info.biBitCount, 24);
        EXPECT_EQ(info.biCompression, static_cast<DWORD>(BI_RGB));
        const size_t stride = (static_cast<size_t>(want.width) * 3 + 3) & ~size_t{3};
        EXPECT_GE(bytes->size(), sizeof info + stride * want.height) << "pixel data cut short";
    }
}

TEST_P(ProgramResources, ShownPicturesAreMadeAgainForEachLargerScaleAsPng) {
    // 125, 150, 175 and 200 %: ids 1000, 2000, 3000 and 4000 above the 100 % bitmap's.
    const UINT dpis[] = {120, 144, 168, 192};
    for (const ExpectedBitmap& want : kBitmaps) {
        if (want.id == IDB_OPTION_EMPTY || want.id == IDB_OPTION_SELECTED) continue;  // never shown
        for (UINT place = 1; place <= 4; ++place) {
            const UINT id = want.id + 1000 * place;
            SCOPED_TRACE("picture " + std::to_string(id));
            auto bytes = ResourceBytes(module(), L"PNG", MAKEINTRESOURCEW(id), kChineseTaiwan);
            ASSERT_TRUE(bytes) << "missing in Chinese (Taiwan)";
            ASSERT_GE(bytes->size(), 24u);
            EXPECT_EQ(std::string_view("\x89PNG\r\n\x1a\n", 8), bytes->substr(0, 8));
            EXPECT_EQ("IHDR", bytes->substr(12, 4));
            auto bigEndian = [&](size_t at) {
                const auto* b = reinterpret_cast<const BYTE*>(bytes->data() + at);
                return static_cast<LONG>((b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3]);
            };
            // The 100 % size at the scale, rounded half up as the wizard places it.
            EXPECT_EQ(::MulDiv(want.width, dpis[place - 1], 96), bigEndian(16));
            EXPECT_EQ(::MulDiv(want.height, dpis[place - 1], 96), bigEndian(20));
        }
    }
}

TEST_P(ProgramResources, ShippedProgramStaysWithinOneAndAHalfMegabytes) {
    if (!GetParam().product) GTEST_SKIP() << "the test build carries debug information";
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ASSERT_TRUE(::GetFileAttributesExW(m_path.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(0u, data.nFileSizeHigh);
    EXPECT_LE(data.nFileSizeLow, 1536u * 1024u) << "with the pictures of every scale";
}

TEST_P(ProgramResources, BackgroundHasNoKeyColouredPixel) {
    auto bytes = ResourceBytes(module(), RT_BITMAP, MAKEINTRESOURCEW(IDB_BACKGROUND), kChineseTaiwan);
    ASSERT_TRUE(bytes);
    BITMAPINFOHEADER info;
    ASSERT_GE(bytes->size(), sizeof info);
    std::memcpy(&info, bytes->data(), sizeof info);
    ASSERT_EQ(info.biBitCount, 24);
    const LONG width = info.biWidth, height = info.biHeight < 0 ? -info.biHeight : info.biHeight;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    ASSERT_GE(bytes->size(), sizeof info + stride * height);
    const auto* pixels = reinterpret_cast<const BYTE*>(bytes->data() + sizeof info);
    int keyed = 0;
    for (LONG y = 0; y < height; ++y) {
        const BYTE* row = pixels + stride * y;
        for (LONG x = 0; x < width; ++x)
            if (row[3 * x] == 255 && row[3 * x + 1] == 0 && row[3 * x + 2] == 255) ++keyed;
    }
    EXPECT_EQ(keyed, 0) << "magenta pixels would cut holes into the window";
}

TEST_P(ProgramResources, IconGroupHoldsOne32x32TrueColourImage) {
    auto group = ResourceBytes(module(), RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_MAINFRAME), kChineseTaiwan);
    ASSERT_TRUE(group) << "no icon group 128 in Chinese (Taiwan)";
    ASSERT_GE(group->size(), sizeof(GroupIconDir) + sizeof(GroupIconEntry));
    GroupIconDir dir;
    std::memcpy(&dir, group->data(), sizeof dir);
    EXPECT_EQ(dir.type, 1);
    ASSERT_EQ(dir.count, 1);
    GroupIconEntry entry;
    std::memcpy(&entry, group->data() + sizeof dir, sizeof entry);
    EXPECT_EQ(entry.width, 32);
    EXPECT_EQ(entry.height, 32);
    EXPECT_EQ(entry.bitCount, 32);

    auto image = ResourceBytes(module(), RT_ICON, MAKEINTRESOURCEW(entry.id), kChineseTaiwan);
    ASSERT_TRUE(image) << "icon image " << entry.id << " missing";
    EXPECT_EQ(image->size(), entry.bytesInRes);
    ASSERT_GE(image->size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER info;
    std::memcpy(&info, image->data(), sizeof info);
    EXPECT_EQ(info.biSize, sizeof(BITMAPINFOHEADER)) << "not a DIB image (a PNG entry?)";
    EXPECT_EQ(info.biWidth, 32);
    EXPECT_EQ(info.biHeight, 64) << "colour and mask rows";
    EXPECT_EQ(info.biBitCount, 32);
    EXPECT_EQ(info.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(image->size(), sizeof info + 32 * 32 * 4 + 32 * 4) << "colour bits and AND mask";

    std::unique_ptr<std::remove_pointer_t<HICON>, decltype(&::DestroyIcon)> icon(
        ::CreateIconFromResourceEx(reinterpret_cast<BYTE*>(const_cast<char*>(image->data())),
                                   static_cast<DWORD>(image->size()), TRUE, 0x00030000, 32, 32, 0),
        &::DestroyIcon);
    EXPECT_TRUE(icon) << "the platform cannot make an icon of it";
}

TEST_P(ProgramResources, ManifestAsksForAdministratorWithoutUiAccess) {
    EXPECT_EQ(ResourceLanguages(module(), RT_MANIFEST, MAKEINTRESOURCEW(1)), std::vector<LANGID>{kEnglishUs});
    auto bytes = ResourceBytes(module(), RT_MANIFEST, MAKEINTRESOURCEW(1), kEnglishUs);
    ASSERT_TRUE(bytes);
    const std::string manifest(*bytes);
    const size_t start = manifest.find("<requestedExecutionLevel");
    ASSERT_NE(start, std::string::npos);
    const std::string element = manifest.substr(start, manifest.find('>', start) - start);
    EXPECT_NE(element.find("level=\"requireAdministrator\""), std::string::npos) << element;
    EXPECT_NE(element.find("uiAccess=\"false\""), std::string::npos) << element;
}

TEST_P(ProgramResources, ManifestNamesTheSupportedSystemsAndTheScaleOfEachMonitor) {
    auto bytes = ResourceBytes(module(), RT_MANIFEST, MAKEINTRESOURCEW(1), kEnglishUs);
    ASSERT_TRUE(bytes);
    const std::string manifest(*bytes);
    // Windows Vista, 7, 8, 8.1, and 10 and 11, which otherwise report themselves as Windows 8.
    for (const char* id : {"{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                           "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                           "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
        EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"") + id + "\"/>"), std::string::npos) << id;
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos) << manifest;
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos) << manifest;
}

TEST_P(ProgramResources, VersionBlockDescribesSetup1004Beta) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(m_path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(::GetFileVersionInfoW(m_path.c_str(), 0, size, info.data()));

    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\", &value, &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000004u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000004u);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u) << "exactly one translation";
    const auto* translation = static_cast<const WORD*>(value);
    EXPECT_EQ(translation[0], 0x0404);
    EXPECT_EQ(translation[1], 1200);

    const std::pair<const wchar_t*, const wchar_t*> kValues[] = {
        {L"FileDescription", L"Setup Application"}, {L"FileVersion", L"1, 0, 0, 4_BETA0"},
        {L"InternalName", L"Setup"},                {L"OriginalFilename", L"Setup.exe"},
        {L"ProductName", L"Setup Application"},     {L"ProductVersion", L"1, 0, 0, 4_BETA0"},
    };
    for (const auto& [key, text] : kValues) {
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040404b0\\") + key;
        ASSERT_TRUE(::VerQueryValueW(info.data(), query.c_str(), &value, &length)) << testsupport::Narrow(key);
        EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(value)), text) << testsupport::Narrow(key);
    }

    // The platform's query cannot tell what else is there; the block's own tree can.
    EXPECT_EQ(ResourceLanguages(module(), RT_VERSION, MAKEINTRESOURCEW(1)), std::vector<LANGID>{kChineseTaiwan});
    auto bytes = ResourceBytes(module(), RT_VERSION, MAKEINTRESOURCEW(1), kChineseTaiwan);
    ASSERT_TRUE(bytes);
    std::optional<VersionNode> root = ParseVersionResource(*bytes);
    ASSERT_TRUE(root);
    const VersionNode* strings = root->Child(L"StringFileInfo");
    ASSERT_NE(strings, nullptr);
    ASSERT_EQ(strings->children.size(), 1u) << "one string table";
    const VersionNode& table = strings->children[0];
    EXPECT_EQ(table.key, L"040404b0");
    ASSERT_EQ(table.children.size(), std::size(kValues));
    for (size_t i = 0; i < table.children.size(); ++i) {
        EXPECT_EQ(table.children[i].key, kValues[i].first);
        EXPECT_EQ(table.children[i].Text(), kValues[i].second);
    }
}

TEST_P(ProgramResources, WizardResourcesAreInChineseTaiwanOnly) {
    const std::vector<LANGID> taiwanOnly{kChineseTaiwan};
    EXPECT_EQ(ResourceLanguages(module(), RT_DIALOG, MAKEINTRESOURCEW(IDD_LANGSETUP_DIALOG)), taiwanOnly);
    EXPECT_EQ(ResourceLanguages(module(), RT_STRING, MAKEINTRESOURCEW(1)), taiwanOnly) << "ids 1 to 15";
    EXPECT_EQ(ResourceLanguages(module(), RT_STRING, MAKEINTRESOURCEW(2)), taiwanOnly) << "ids 16 to 22";
    EXPECT_EQ(ResourceLanguages(module(), RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_MAINFRAME)), taiwanOnly);
    for (const ExpectedBitmap& bitmap : kBitmaps)
        EXPECT_EQ(ResourceLanguages(module(), RT_BITMAP, MAKEINTRESOURCEW(bitmap.id)), taiwanOnly)
            << "bitmap " << bitmap.id;
}

INSTANTIATE_TEST_SUITE_P(Images, ProgramResources,
                         ::testing::Values(ProgramImage{"TestBuild", false}, ProgramImage{"Product", true}),
                         [](const ::testing::TestParamInfo<ProgramImage>& info) { return info.param.name; });

}  // namespace
