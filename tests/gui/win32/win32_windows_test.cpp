// The side windows (Opti, the plan, About) and the platform pieces behind the window, under wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <filesystem>
#include <fstream>

#include "gui/win32/about_window.h"
#include "gui/win32/chart_view_win32.h"
#include "gui/win32/opti_window_win32.h"
#include "gui/win32/plan_window_win32.h"
#include "gui/win32/selftest.h"
#include "gui/win32/text_printer.h"
#include "gui/win32/wide_text.h"
#include "gui/win32/win32_launcher.h"
#include "gui/win32/win32_message_boxes.h"
#include "images/system_services.h"
#include "plan/plan_charts.h"
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

plan::PlanWindowModel samplePlan() {
    TreeTally tally;
    for (int i = 0; i < 400; ++i)
        tallyFile(tally, 700 + 37 * static_cast<std::uint64_t>(i), 4096);
    tallyFolder(tally, {30, 90}, false);
    tallyFolder(tally, {400 - 30 + 1, 3 * (400 - 30 + 1)}, true);
    return plan::PlanWindowModel(tally, 300ull << 20, 4096);
}

struct ShownPlan {
    ShownPlan()
        : window(GetModuleHandleW(nullptr), samplePlan(),
                 [this](const std::vector<std::string>& lines) { printed = lines; }) {
        window.show();
        UpdateWindow(window.hwnd());
    }
    std::vector<std::string> printed;
    PlanWindowWin32 window;
};

std::string cellText(HWND list, int row, int column) {
    wchar_t text[256] = L"";
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 256;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return utf8(text);
}

// What a control paints into a bitmap of its client area's size, read back pixel by pixel.
class Painted {
public:
    explicit Painted(HWND hwnd) {
        RECT client{};
        GetClientRect(hwnd, &client);
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, client.right, client.bottom);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, bitmap_);
        SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_),
                     PRF_CLIENT | PRF_ERASEBKGND);
    }
    ~Painted() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Painted(const Painted&) = delete;
    Painted& operator=(const Painted&) = delete;
    COLORREF at(int x, int y) const { return GetPixel(dc_, x, y); }
    int count(const RECT& r, COLORREF colour) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += at(x, y) == colour;
        return n;
    }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

COLORREF colourRef(plan::Rgb colour) {
    return RGB(colour.r, colour.g, colour.b);
}

TEST(PlanWindowWin32, TableAsThePlanWithTheRecommendedRowsHighlighted) {
    ShownPlan s;
    const HWND table = s.window.table();
    const auto rows = s.window.model().tableRows();
    const plan::FormatPlan& plan = s.window.model().plan();
    ASSERT_TRUE(plan.recommended && plan.recommendedExfat);
    ASSERT_EQ(SendMessageW(table, LVM_GETITEMCOUNT, 0, 0), static_cast<LRESULT>(rows.size()));
    const HWND header = reinterpret_cast<HWND>(SendMessageW(table, LVM_GETHEADER, 0, 0));
    ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 11);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < 11; ++c)
            EXPECT_EQ(cellText(table, static_cast<int>(r), static_cast<int>(c)), rows[r][c]);

    // Each highlight fills most of its row and no other.
    const Painted painted(table);
    const COLORREF yellow = colourRef(plan::recommendedRowColour());
    const COLORREF blue = colourRef(plan::recommendedExfatRowColour());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        RECT row{LVIR_BOUNDS, 0, 0, 0};
        SendMessageW(table, LVM_GETITEMRECT, r, reinterpret_cast<LPARAM>(&row));
        const int third = (row.right - row.left) * (row.bottom - row.top) / 3;
        EXPECT_EQ(painted.count(row, yellow) > third, r == *plan.recommended) << r;
        EXPECT_EQ(painted.count(row, blue) > third, r == *plan.recommendedExfat) << r;
        if (r != *plan.recommended) {
            EXPECT_EQ(painted.count(row, yellow), 0) << r;
        }
    }

    wchar_t text[4096] = L"";
    GetWindowTextW(s.window.recommendation(), text, 4096);
    EXPECT_EQ(utf8(text).rfind("Recommandation : ", 0), 0u);
    EXPECT_NE(utf8(text).find("Pour un appareil qui lit l'exFAT : "), std::string::npos);
    EXPECT_NE(utf8(text).find("Taille minimale FAT32"), std::string::npos);
}

TEST(PlanWindowWin32, ChartsPaintTheirShapesInTheirColoursFadedWhileStale) {
    ShownPlan s;
    for (const ChartViewWin32* chart : {&s.window.bars(), &s.window.slack()}) {
        const plan::ChartPicture picture = chart->picture();
        ASSERT_FALSE(picture.boxes.empty());
        RECT client{};
        GetClientRect(chart->hwnd(), &client);
        const POINT scroll = chart->scroll();
        const Painted painted(chart->hwnd());
        int checked = 0;
        for (const plan::ChartBox& box : picture.boxes) {
            if (box.width < 3 || box.height < 3) continue;
            const int x = box.x + box.width / 2 - scroll.x;
            const int y = box.y + box.height / 2 - scroll.y;
            if (x < 0 || y < 0 || x >= client.right || y >= client.bottom)
                continue; // scrolled away
            EXPECT_EQ(painted.at(x, y), colourRef(box.fill)) << box.x << "," << box.y;
            ++checked;
        }
        EXPECT_GE(checked, 5);
    }
    // The recommended bar's frame, on its left edge.
    const ChartViewWin32& bars = s.window.bars();
    const plan::ChartFrame frame = bars.picture().frames.at(0);
    const POINT edge{frame.x - bars.scroll().x, frame.y + frame.height / 2 - bars.scroll().y};
    EXPECT_EQ(Painted(bars.hwnd()).at(edge.x, edge.y), RGB(0, 0, 0));
    // A refused size: the same shapes, no longer in their own colours.
    SetWindowTextW(s.window.volumeField(), L"?");
    EXPECT_NE(Painted(bars.hwnd()).at(edge.x, edge.y), RGB(0, 0, 0));
}

TEST(PlanWindowWin32, SizeFieldDrivesTheFiguresARefusalGreysThemAndPrintHandsTheText) {
    ShownPlan s;
    const auto textOf = [](HWND hwnd) {
        wchar_t text[512] = L"";
        GetWindowTextW(hwnd, text, 512);
        return utf8(text);
    };
    EXPECT_EQ(textOf(s.window.volumeField()), "314,572,800 octets");
    SetWindowTextW(s.window.volumeField(), L"16 Mo");
    EXPECT_EQ(s.window.model().plan().volumeBytes, 16777216u);
    EXPECT_EQ(cellText(s.window.table(), 0, 0), "FAT12");
    EXPECT_EQ(SendMessageW(s.window.table(), LVM_GETITEMCOUNT, 0, 0),
              static_cast<LRESULT>(s.window.model().plan().rows.size()));
    EXPECT_EQ(textOf(s.window.volumeError()), "");

    // A refused size: the reason beside the field, the last plan greyed and not printed.
    SetWindowTextW(s.window.volumeField(), L"16 Mox");
    EXPECT_EQ(s.window.model().plan().volumeBytes, 16777216u);
    EXPECT_EQ(textOf(s.window.volumeError()),
              "Unité inconnue : « Mox » (o, Ko, Mo, Go, To, KiB… ou kB, MB, GB, TB).");
    for (HWND part : {s.window.table(), s.window.recommendation(), s.window.bars().hwnd(),
                      s.window.slack().hwnd(), s.window.printButton()})
        EXPECT_FALSE(IsWindowEnabled(part));

    SetWindowTextW(s.window.volumeField(), L"16 Mo");
    EXPECT_TRUE(IsWindowEnabled(s.window.table()));
    EXPECT_EQ(textOf(s.window.volumeError()), "");
    SendMessageW(s.window.printButton(), BM_CLICK, 0, 0);
    EXPECT_EQ(s.printed, s.window.model().printLines());

    // "Fermer", and Escape in the field, only hide it.
    SendMessageW(s.window.closeButton(), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindowVisible(s.window.hwnd()));
    s.window.show();
    SendMessageW(s.window.volumeField(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(IsWindowVisible(s.window.hwnd()));
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
