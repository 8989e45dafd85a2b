// The side windows (Opti, the plan, About) and the platform pieces behind the window, under wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <filesystem>
#include <fstream>

#include "gui/win32/about_window.h"
#include "gui/win32/opti_window_win32.h"
#include "gui/win32/plan_window_win32.h"
#include "gui/win32/selftest.h"
#include "gui/win32/text_printer.h"
#include "gui/win32/wide_text.h"
#include "gui/win32/win32_launcher.h"
#include "gui/win32/win32_message_boxes.h"
#include "images/system_services.h"
#include "window/apropos_logic.h"

namespace kesp {
namespace {

int selectedRow(HWND grid) {
    return static_cast<int>(SendMessageW(grid, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
}

TEST(OptiWindow, OneRowPerClusterSizeAndTodaysSelected) {
    struct Case {
        bool fat32;
        int cluster;
        int rows;
        int selected; // -1: none matches
    };
    const Case cases[] = {{false, 2048, 5, 0},
                          {false, 8192, 5, 2},
                          {true, 4096, 4, 0},
                          {true, 32768, 4, 3},
                          {true, 512, 4, -1}};
    for (const Case& c : cases) {
        EtatScan etat;
        etat.PartitionFat = true;
        etat.EstFat32 = c.fat32;
        etat.TailleCluster = c.cluster;
        const TableOpti table = ConstruireTableOpti(etat);
        OptiWindow window(GetModuleHandleW(nullptr), table, "Kesp");
        EXPECT_EQ(SendMessageW(window.grid(), LVM_GETITEMCOUNT, 0, 0), c.rows) << c.cluster;
        if (c.selected >= 0)
            EXPECT_EQ(selectedRow(window.grid()), c.selected) << c.cluster;
        else // without a match the selection runs from the last row up to the titles
            EXPECT_EQ(SendMessageW(window.grid(), LVM_GETSELECTEDCOUNT, 0, 0), c.rows);
        // Every title fits its column.
        RECT client{};
        GetClientRect(window.hwnd(), &client);
        EXPECT_GE(client.right, 5 * 100);
    }
}

TEST(PlanWindow, ShowsThePrintedPlan) {
    plan::PlanWindowModel model(TreeTally{}, 64ull << 20, 2048);
    PlanWindowWin32 window(GetModuleHandleW(nullptr), plan::PlanWindowModel(model));
    ASSERT_FALSE(model.printLines().empty());
    EXPECT_EQ(SendMessageW(window.list(), LB_GETCOUNT, 0, 0),
              static_cast<LRESULT>(model.printLines().size()));
}

HWND aboutLine2 = nullptr;
std::wstring scrolled;

void CALLBACK readAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    wchar_t text[256] = L"";
    GetWindowTextW(aboutLine2, text, 256);
    scrolled = text;
    PostMessageW(GetParent(aboutLine2), WM_COMMAND, IDCANCEL, 0);
}

TEST(AboutWindow, ScrollsWhileOpenAndEscapeClosesIt) {
    auto system = makeSystemServices();
    Win32Launcher launcher;
    Win32MessageBoxes boxes;
    AboutWindow about(GetModuleHandleW(nullptr), *system.environment, launcher, boxes);
    // Before the first opening only the links and OK carry text; the scrolling line is the last
    // of the empty labels.
    for (HWND child = GetWindow(about.hwnd(), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[256] = L"";
        GetWindowTextW(child, text, 256);
        if (text[0] == L'\0') aboutLine2 = child;
    }
    SetTimer(nullptr, 0, 600, &readAndClose);
    about.showModal(nullptr);
    // Past the first ticks the line no longer starts where the text does.
    EXPECT_FALSE(scrolled.empty());
    EXPECT_NE(utf8(scrolled), std::string(kTexteDefile));
    EXPECT_FALSE(IsWindowVisible(about.hwnd()));
}

TEST(Win32Launcher, MissingProgramIsTheNotFoundError) {
    Win32Launcher launcher;
    EXPECT_EQ(launcher.start({"kesp-no-such-program.exe"}, {}).error, kErrorFileNotFound);
    EXPECT_EQ(launcher.start({"cmd.exe", "/c", "exit"}, {}).error, 0);
    EXPECT_FALSE(launcher.openWithDesktop("Z:\\kesp\\no\\such\\document.mht"));
}

TEST(TextPrinter, FailuresAreNamedInFrench) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path report = std::filesystem::path(temp) / L"kesp-impression.txt";
    std::ofstream(report) << "ligne\r\n";
    EXPECT_NE(printTextFile(utf8(report.wstring()) + ".absent", "", 1).find("n'a pas pu être lu"),
              std::string::npos);
    EXPECT_NE(printTextFile(utf8(report.wstring()), "Kesp imprimante absente", 1)
                  .find("n'est pas disponible"),
              std::string::npos);
    std::filesystem::remove(report);
}

TEST(Screenshot, AWindowAsABitmapOfItsSize) {
    HWND window = CreateWindowExW(0, L"STATIC", L"Kesp", WS_POPUP | WS_VISIBLE, 10, 10, 120, 50,
                                  nullptr, nullptr, nullptr, nullptr);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path bmp = std::filesystem::path(temp) / L"kesp-écran.bmp";
    ASSERT_TRUE(saveScreenshot(window, utf8(bmp.wstring())));
    std::ifstream in(bmp, std::ios::binary);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    in.read(reinterpret_cast<char*>(&file), sizeof file);
    in.read(reinterpret_cast<char*>(&info), sizeof info);
    EXPECT_EQ(file.bfType, 0x4D42);
    EXPECT_EQ(info.biWidth, 120);
    EXPECT_EQ(info.biHeight, 50);
    EXPECT_EQ(file.bfSize, std::filesystem::file_size(bmp));
    in.close();
    DestroyWindow(window);
    std::filesystem::remove(bmp);
}

TEST(Fat32Volumes, LetsTheGateThroughOnlyWhereTheQueryWorks) {
    auto system = makeSystemServices();
    Fat32Volumes volumes(*system.volumes);
    VolumeInformation info;
    ASSERT_TRUE(volumes.volumeInformation("c:\\", info));
    EXPECT_EQ(info.fileSystem, "FAT32");
    EXPECT_FALSE(volumes.volumeInformation("q:\\", info)); // no such drive
}

} // namespace
} // namespace kesp
