#include "gui/win32/selftest.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "gui/win32/form1_win32.h"
#include "gui/win32/wide_text.h"
#include "os/folder_check.h"

namespace kesp {

std::optional<SelftestArgs> parseSelftest(const std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--selftest") continue;
        if (i + 2 >= args.size() || args[i + 1].empty() || args[i + 2].empty()) return std::nullopt;
        // A user types backslashes; a script passes what its shell had.
        std::string folder = args[i + 1];
        for (char& c : folder)
            if (c == '/') c = '\\';
        return SelftestArgs{folder, args[i + 2]};
    }
    return std::nullopt;
}

bool Fat32Volumes::volumeInformation(const std::string& root, VolumeInformation& info) {
    if (!real_.volumeInformation(root, info)) return false;
    if (info.fileSystem == "NTFS") info.fileSystem = "FAT32";
    return true;
}

bool saveScreenshot(HWND hwnd, const std::string& bmpFile, bool clientOnly) {
    RECT area{};
    GetWindowRect(hwnd, &area);
    if (clientOnly) {
        GetClientRect(hwnd, &area);
        MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&area), 2);
    }
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return false;

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height; // bottom-up, as BMP files store rows
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    header.biSizeImage = stride * static_cast<DWORD>(height);

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header),
                                      DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    // What is on the screen there: the window on top, as a user sees it.
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    SelectObject(memory, previous);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::ofstream out(std::filesystem::path(wide(bmpFile)), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(static_cast<const char*>(bits), header.biSizeImage);
    const bool written = static_cast<bool>(out);

    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return written;
}

namespace {

std::string aboutShot;
bool aboutSaved = false;

// The About window is modal: its own loop runs until this timer has taken its picture and pressed
// its OK.
void CALLBACK closeAbout(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (HWND about = FindWindowW(L"KespApropos", nullptr)) {
        aboutSaved = saveScreenshot(about, aboutShot, true);
        PostMessageW(about, WM_COMMAND, IDOK, 0);
    }
}

// Lets the window paint: wine draws through the X server at its own pace.
void settle(Win32Form1& form, int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 50) {
        form.pump();
        Sleep(50);
    }
}

bool copyNonEmpty(const std::string& from, const std::string& to) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(wide(from).c_str(), GetFileExInfoStandard, &data)) return false;
    if (data.nFileSizeHigh == 0 && data.nFileSizeLow == 0) return false;
    return CopyFileW(wide(from).c_str(), wide(to).c_str(), FALSE) != 0;
}

} // namespace

int runSelftest(Win32Form1& form, VolumeService& volumes, ImageVolumes& images,
                const SelftestArgs& args) {
    settle(form, 500);
    if (checkFolder(args.folder).kind == PathKind::NotFolder) {
        // As "Ouvrir une image disque…" does; opened here first so that a refusal ends the test
        // rather than waiting in a message box.
        if (!images.openImage(args.folder).error.empty()) return 2;
        form.controller().openImages({args.folder});
    } else {
        form.setDriveText(volumes.driveOf(args.folder));
        if (form.controller().setFolderPath(args.folder) != 0) return 2;
    }
    settle(form, 300);
    // The press a user makes: the scan runs inside it and returns at its end.
    SendMessageW(form.control(kIdOk), BM_CLICK, 0, 0);
    settle(form, 700);
    const std::string base = args.outdir + "\\";
    bool ok = saveScreenshot(form.hwnd(), base + "kesp.bmp");
    SendMessageW(form.hwnd(), WM_COMMAND, kIdOptimiser, 0);
    settle(form, 500);
    ok = form.optiHwnd() && saveScreenshot(form.optiHwnd(), base + "opti.bmp", true) && ok;
    SendMessageW(form.hwnd(), WM_COMMAND, kIdPlanFormatage, 0);
    settle(form, 500);
    ok = form.planHwnd() && saveScreenshot(form.planHwnd(), base + "plan.bmp", true) && ok;
    aboutShot = base + "apropos.bmp";
    SetTimer(nullptr, 0, 1000, &closeAbout);
    SendMessageW(form.hwnd(), WM_COMMAND, kIdApropos, 0);
    ok = aboutSaved && ok;
    const EtatScan& etat = form.controller().etat();
    ok = copyNonEmpty(etat.CheminRes1, base + "rapport.txt") && ok;
    ok = copyNonEmpty(etat.CheminRes2, base + "tableau.txt") && ok;
    return ok ? 0 : 1;
}

} // namespace kesp
