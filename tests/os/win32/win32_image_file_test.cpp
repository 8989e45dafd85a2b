// Images and devices read through kernel32: at any offset, never locking out a program that
// writes to the image, past MAX_PATH and with names outside any ANSI code page; each refusal in
// French.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "os/folder_check.h"
#include "os/host_folder.h"
#include "os/read_only_file.h"
#include "os/win32/device_names.h"
#include "os/win32/wide_path.h"
#include "support/temp_dir.h"

namespace kesp {
namespace {

using test::TempDir;

// A file written through the UTF-16 calls, so that its name does not depend on what is tested;
// the handle is left open as `share` allows when `keep` is given.
void writeFile(const std::wstring& path, const std::string& bytes, HANDLE* keep = nullptr,
               DWORD share = 0) {
    const HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, share, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr));
    if (keep)
        *keep = h;
    else
        CloseHandle(h);
}

std::string bytesAt(ReadOnlyFile& file, std::uint64_t offset, std::size_t count) {
    std::vector<std::uint8_t> out(count);
    if (!file.read(offset, out)) return "(lecture refusée)";
    return std::string(out.begin(), out.end());
}

std::string pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = char('a' + i % 26);
    return bytes;
}

TEST(Win32ImageFile, ReadsAtAnyOffsetAndStopsAtTheEnd) {
    TempDir dir;
    writeFile(wideText(dir / "carte.img"), pattern(100000));
    std::string error;
    const auto file = ReadOnlyFile::open(dir / "carte.img", error);
    ASSERT_TRUE(file) << error;
    EXPECT_EQ(file->size(), 100000u);
    EXPECT_EQ(bytesAt(*file, 0, 3), "abc");
    EXPECT_EQ(bytesAt(*file, 99997, 3), pattern(100000).substr(99997));
    EXPECT_EQ(bytesAt(*file, 99998, 3), "(lecture refusée)");
    EXPECT_EQ(file->deviceFailure(), "") << "the end of the file is no device failure";
}

TEST(Win32ImageFile, AnotherProgramWritingIsNeitherStoppedNorLockedOut) {
    TempDir dir;
    const std::wstring name = wideText(dir / "ouverte.img");
    HANDLE writer = INVALID_HANDLE_VALUE;
    writeFile(name, pattern(4096), &writer, FILE_SHARE_READ | FILE_SHARE_WRITE);
    std::string error;
    const auto file = ReadOnlyFile::open(dir / "ouverte.img", error);
    ASSERT_TRUE(file) << error;
    EXPECT_EQ(bytesAt(*file, 0, 4), "abcd");
    // What the writer writes next is what is read.
    OVERLAPPED at{};
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(writer, "KESP", 4, &written, &at));
    EXPECT_EQ(bytesAt(*file, 0, 4), "KESP");
    CloseHandle(writer);
    // Open for reading here, the image can still be opened for writing, and even renamed.
    const HANDLE second =
        CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(second, INVALID_HANDLE_VALUE) << GetLastError();
    CloseHandle(second);
    EXPECT_TRUE(MoveFileW(name.c_str(), wideText(dir / "renommée.img").c_str())) << GetLastError();

    // A program that shares nothing keeps everyone out: said so, naming the image.
    HANDLE exclusive = INVALID_HANDLE_VALUE;
    writeFile(wideText(dir / "exclusive.img"), pattern(512), &exclusive, 0);
    EXPECT_FALSE(ReadOnlyFile::open(dir / "exclusive.img", error));
    EXPECT_EQ(error, win32SharingRefusal(dir / "exclusive.img"));
    CloseHandle(exclusive);
}

TEST(Win32ImageFile, PastMaxPathAndOutsideTheAnsiCodePage) {
    TempDir dir;
    std::vector<std::string> folders{dir.path()};
    while (folders.back().size() <= MAX_PATH + 20) {
        folders.push_back(folders.back() + "\\dossier-tr\xC3\xA8s-long-\xE6\x97\xA5\xE6\x9C\xAC");
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + wideText(folders.back())).c_str(), nullptr))
            << GetLastError();
    }
    const std::string folder = folders.back();
    const std::string image = folder + "\\\xD0\xBA\xD0\xB0\xD1\x80\xD1\x82\xD0\xB0.img"; // карта
    writeFile(L"\\\\?\\" + wideText(image), pattern(2048));
    EXPECT_EQ(checkFolder(image).kind, PathKind::NotFolder);
    EXPECT_EQ(checkFolder(folder).kind, PathKind::Folder);
    std::string error;
    {
        const auto file = ReadOnlyFile::open(image, error);
        ASSERT_TRUE(file) << error;
        EXPECT_EQ(bytesAt(*file, 26, 2), "ab");
    }
    // Removed here: the temporary folder's own clean-up goes by ANSI names.
    DeleteFileW((L"\\\\?\\" + wideText(image)).c_str());
    for (std::size_t i = folders.size() - 1; i > 0; --i)
        RemoveDirectoryW((L"\\\\?\\" + wideText(folders[i])).c_str());
}

TEST(Win32ImageFile, FoldersMissingFilesAndDevicesAreRefusedInFrench) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(ReadOnlyFile::open(dir.path(), error));
    EXPECT_EQ(error, notAnImageText(dir.path()));
    EXPECT_FALSE(ReadOnlyFile::open(dir / "absente.img", error));
    EXPECT_EQ(error.rfind("impossible d'ouvrir " + (dir / "absente.img") + " : ", 0), 0u) << error;
    EXPECT_EQ(checkFolder("\\\\.\\PhysicalDrive7").kind, PathKind::NotFolder)
        << "a disk is read as an image";
    EXPECT_EQ(absoluteHostPath("\\\\.\\E:"), "\\\\.\\E:");
}

TEST(Win32HostPath, AbsoluteAgainstTheCurrentFolderWithNamesWhole) {
    TempDir dir;
    const std::string name = "\xE6\x97\xA5\xE6\x9C\xAC";
    ASSERT_TRUE(CreateDirectoryW(wideText(dir / name).c_str(), nullptr));
    ASSERT_TRUE(SetCurrentDirectoryW(wideText(dir / name).c_str()));
    EXPECT_EQ(currentHostFolder(), dir / name);
    EXPECT_EQ(absoluteHostPath("carte.img"), dir / (name + "/carte.img"));
    EXPECT_EQ(absoluteHostPath("..\\" + name + "\\.\\x/y.img"), dir / (name + "/x/y.img"));
    EXPECT_TRUE(isHostFolder(dir / name));
    SetCurrentDirectoryW(L"C:\\");
    RemoveDirectoryW(wideText(dir / name).c_str());
}

} // namespace
} // namespace kesp
