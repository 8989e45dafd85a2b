// The kernel32 backends under the program's own manifest: names outside any ANSI code page
// arrive whole in UTF-8, a folder past MAX_PATH is reported rather than skipped, two existing
// files are told apart by their file IDs, the locale's characters come in UTF-8.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "os/file_identity.h"
#include "os/number_chars.h"
#include "os/text_encoding.h"
#include "os/win32/folder_enum_win32.h"
#include "support/temp_dir.h"

namespace kesp {
namespace {

using test::TempDir;

std::wstring wide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// Made through the UTF-16 calls, so that the names do not depend on what is under test.
void makeFolderW(const std::wstring& path) {
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr)) << GetLastError();
}
void makeFileW(const std::wstring& path, DWORD size) {
    const HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    const std::string bytes(size, 'x');
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(h, bytes.data(), size, &written, nullptr));
    CloseHandle(h);
}

std::vector<FolderEntry> entriesOf(FolderListing& listing) {
    std::vector<FolderEntry> entries;
    for (FolderEntry e; listing.next(e);)
        entries.push_back(e);
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return entries;
}

bool isUtf8(const std::string& text) {
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()),
                               nullptr, 0) > 0;
}

TEST(Win32Backend, TheManifestGivesTheUtf8CodePage) {
    EXPECT_EQ(GetACP(), UINT(CP_UTF8));
    EXPECT_EQ(legacyCodePageNotice(), "");
}

TEST(Win32Backend, NamesOutsideAnyAnsiCodePageArriveWhole) {
    TempDir dir;
    const std::wstring root = wide(dir.path()) + L"\\";
    makeFolderW(root + L"\u65E5\u672C");                   // 日本
    makeFileW(root + L"\u65E5\u672C\\f\u00E9.bin", 30000); // fé.bin
    makeFileW(root + L"Donn\u00E9es \U0001F600", 5);       // an emoji: two UTF-16 units

    Win32FolderEnumerator folders;
    const auto listing = folders.open(dir.path() + "\\");
    const auto entries = entriesOf(*listing);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_FALSE(listing->failure());
    EXPECT_EQ(entries[0].name, "Donn\xC3\xA9"
                               "es \xF0\x9F\x98\x80");
    EXPECT_EQ(entries[0].size, 5u);
    EXPECT_EQ(entries[1].name, "\xE6\x97\xA5\xE6\x9C\xAC");
    ASSERT_TRUE(entries[1].isDirectory);

    const auto child = listing->openChild(entries[1]);
    const auto below = entriesOf(*child);
    EXPECT_FALSE(child->failure());
    ASSERT_EQ(below.size(), 1u);
    EXPECT_EQ(below[0].name, "f\xC3\xA9.bin");
    EXPECT_EQ(below[0].size, 30000u);
}

TEST(Win32Backend, AFolderPastMaxPathIsReportedNotSkipped) {
    TempDir dir;
    // Made through the \\?\ form, which has no MAX_PATH limit; the scan's ANSI calls do.
    std::wstring path = L"\\\\?\\" + wide(dir.path());
    std::string narrow = dir.path();
    const std::string part(60, 'p');
    while (narrow.size() <= MAX_PATH + 10) {
        path += L"\\" + wide(part);
        narrow += "\\" + part;
        makeFolderW(path);
    }
    const std::string parent = narrow.substr(0, narrow.size() - part.size());

    Win32FolderEnumerator folders;
    const auto listing = folders.open(parent);
    const auto entries = entriesOf(*listing);
    ASSERT_EQ(entries.size(), 1u); // seen by its parent ...
    const auto child = listing->openChild(entries[0]);
    FolderEntry e;
    EXPECT_FALSE(child->next(e));
    ASSERT_TRUE(child->failure()); // ... and its listing says why it yields nothing
    EXPECT_FALSE(child->failure()->reason.empty());
    EXPECT_FALSE(child->failure()->volumeLost);
}

TEST(Win32Backend, SameFileByFileIdNotByName) {
    TempDir dir;
    std::ofstream(dir / "a.txt") << "a";
    std::ofstream(dir / "b.txt") << "b";
    const struct {
        std::string a, b;
        bool same;
    } cases[] = {
        {dir / "a.txt", dir / "b.txt", false}, // two existing files
        {dir / "a.txt", dir.path() + "\\.\\A.TXT", true},
        {dir / "new.txt", dir / "NEW.txt", true}, // neither exists yet
        {dir / "new.txt", dir / "other.txt", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sameOutputFile(c.a, c.b), c.same) << c.a << " / " << c.b;
}

TEST(Win32Backend, LocaleCharactersAreUtf8) {
    const NumberChars chars = userNumberChars();
    EXPECT_TRUE(isUtf8(chars.grouping)) << chars.grouping;
    EXPECT_TRUE(isUtf8(chars.decimal)) << chars.decimal;
    EXPECT_NE(chars.grouping, chars.decimal);
}

} // namespace
} // namespace kesp
