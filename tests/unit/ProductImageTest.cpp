// The shipped program: a 32-bit GUI executable that asks for administrator rights and needs
// nothing but system libraries beside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "base/Handles.h"
#include "tests/support/TestSupport.h"

using namespace testsupport;

namespace {

struct PeImage {
    std::string bytes;
    const IMAGE_NT_HEADERS32* nt32 = nullptr;  // the fields up to the optional header's magic are common

    bool Load(const std::wstring& path) {
        bytes = ReadTextFile(path);
        if (bytes.size() < sizeof(IMAGE_DOS_HEADER)) return false;
        auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
        if (dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew <= 0 ||
            static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS64) > bytes.size())
            return false;
        nt32 = reinterpret_cast<const IMAGE_NT_HEADERS32*>(bytes.data() + dos->e_lfanew);
        return nt32->Signature == IMAGE_NT_SIGNATURE;
    }
    WORD Machine() const { return nt32->FileHeader.Machine; }
    bool Is64() const { return nt32->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC; }
    WORD Subsystem() const {
        return Is64() ? reinterpret_cast<const IMAGE_NT_HEADERS64*>(nt32)->OptionalHeader.Subsystem
                      : nt32->OptionalHeader.Subsystem;
    }
    IMAGE_DATA_DIRECTORY Directory(int index) const {
        return Is64() ? reinterpret_cast<const IMAGE_NT_HEADERS64*>(nt32)->OptionalHeader.DataDirectory[index]
                      : nt32->OptionalHeader.DataDirectory[index];
    }
    const char* AtRva(DWORD rva) const {
        auto section = IMAGE_FIRST_SECTION(nt32);
        for (WORD i = 0; i < nt32->FileHeader.NumberOfSections; ++i, ++section) {
            if (rva >= section->VirtualAddress && rva < section->VirtualAddress + section->Misc.VirtualSize) {
                const size_t offset = rva - section->VirtualAddress + section->PointerToRawData;
                return offset < bytes.size() ? bytes.data() + offset : nullptr;
            }
        }
        return nullptr;
    }
    std::set<std::string> ImportedLibraries() const {
        std::set<std::string> names;
        const IMAGE_DATA_DIRECTORY dir = Directory(IMAGE_DIRECTORY_ENTRY_IMPORT);
        auto entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(AtRva(dir.VirtualAddress));
        for (; entry && entry->Name; ++entry) {
            std::string name = AtRva(entry->Name);
            std::transform(name.begin(), name.end(), name.begin(), ::tolower);
            names.insert(name);
        }
        return names;
    }
};

std::string Manifest(const std::wstring& path) {
    fw::UniqueModule module(
        ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!module) return {};
    HRSRC resource = ::FindResourceW(module.get(), MAKEINTRESOURCEW(1), RT_MANIFEST);
    if (!resource) return {};
    auto data = static_cast<const char*>(::LockResource(::LoadResource(module.get(), resource)));
    return std::string(data, ::SizeofResource(module.get(), resource));
}

void ExpectShippable(const std::wstring& path, WORD machine) {
    PeImage image;
    ASSERT_TRUE(image.Load(path)) << Narrow(path);
    EXPECT_EQ(machine, image.Machine());
    EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, image.Subsystem());

    // System libraries only. Those needed for some of the work only (shortcuts, the launch,
    // pictures at other scales, assistive tools) are loaded by the first call into them: loaded
    // with the program, they cost the wizard's start its time.
    const std::set<std::string> system = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "msvcrt.dll"};
    const std::set<std::string> imports = image.ImportedLibraries();
    EXPECT_FALSE(imports.empty());
    for (const auto& name : imports) EXPECT_TRUE(system.count(name)) << "needs " << name << " as it starts";

    const std::string manifest = Manifest(path);
    EXPECT_NE(std::string::npos, manifest.find("level=\"requireAdministrator\"")) << manifest;
    EXPECT_NE(std::string::npos, manifest.find("uiAccess=\"false\"")) << manifest;
}

}  // namespace

TEST(ProductImage, ShippedSetupIs32BitGuiWithAdministratorManifest) {
    ExpectShippable(ProductDir() + L"\\sample-payload\\setup.exe", IMAGE_FILE_MACHINE_I386);
}

TEST(ProductImage, ShippedSetupIsStrippedAndLeanOutsideItsResources) {
    // Reached 94 KB with the wizard and its keyboard road, 125 KB with the install record, the
    // undo and the removal of everything recorded, 143 KB with the record bounded to the install's
    // own places and the launch through the user's shell, 154 KB with the wizard at every display
    // scale, its pictures decoded and filtered and what assistive tools hear, 159 KB with the start
    // made faster (libraries loaded at their first call, a table of the bound windows, the pictures
    // made ahead at every scale). The limit sits just
    // above: a guard against what nobody asked for, not a budget.
    constexpr DWORD kLimitOutsideResources = 168 * 1024;
    PeImage image;
    ASSERT_TRUE(image.Load(ProductDir() + L"\\sample-payload\\setup.exe"));
    EXPECT_EQ(0u, image.nt32->FileHeader.PointerToSymbolTable) << "a symbol table";
    DWORD outside = 0;
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(image.nt32);
    for (WORD i = 0; i < image.nt32->FileHeader.NumberOfSections; ++i, ++section) {
        const std::string name(reinterpret_cast<const char*>(section->Name),
                               strnlen(reinterpret_cast<const char*>(section->Name), IMAGE_SIZEOF_SHORT_NAME));
        // Debug sections have long names, which the table holds as "/" and an offset.
        EXPECT_NE(0u, name.rfind(".debug", 0)) << name;
        EXPECT_NE('/', name[0]) << name;
        if (name != ".rsrc") outside += section->SizeOfRawData;
    }
    EXPECT_LE(outside, kLimitOutsideResources);
}

TEST(ProductImage, TestBuildCarriesTheSameManifestAndImports) {
    ExpectShippable(PayloadDir() + L"\\setup.exe", IMAGE_FILE_MACHINE_AMD64);
}
