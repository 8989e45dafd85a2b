// The Win32 Form1 over the real kernel32 services, under wine: its controls report what the
// controller and the scan set, a press of OK scans a folder with non-Latin names, an image opened
// as "Ouvrir une image disque…" does is scanned with its folders written as on Linux, and a
// volume GetVolumeInformation calls exFAT passes the gate.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fat/memory_volume.h"
#include "gui/win32/form1_win32.h"
#include "gui/win32/selftest.h"
#include "gui/win32/text_printer.h"
#include "gui/win32/wide_text.h"
#include "gui/win32/win32_launcher.h"
#include "images/system_services.h"
#include "support/fake_volume_service.h"

namespace kesp {
namespace {

class RecordingBoxes final : public MessageBoxes {
public:
    std::vector<std::string> shown;
    void show(const std::string& text, const std::string&, MessageIcon) override {
        shown.push_back(text);
    }
    void beep() override {}
};

std::string listLine(HWND list, int index) {
    const auto length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return utf8(text);
}

bool toolEnabled(Win32Form1& form, int id) {
    return SendMessageW(form.control(kIdToolbar), TB_ISBUTTONENABLED, id, 0) != 0;
}

bool menuEnabled(Win32Form1& form, int id) {
    return !(GetMenuState(GetMenu(form.hwnd()), id, MF_BYCOMMAND) & MF_GRAYED);
}

// Answers the save and print dialogs as a user would, without showing them.
class AnsweringDialogs final : public FileDialogs {
public:
    std::optional<std::string> saveAs;
    std::optional<PrintChoice> print;
    std::optional<std::string> saveFile(const SaveDialogRequest&) override { return saveAs; }
    std::optional<std::string> openFile(const OpenDialogRequest&) override { return {}; }
    std::optional<PrintChoice> printDialog(const std::string&) override { return print; }
};

std::string contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Win32Form1Test : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        root_ =
            std::filesystem::path(temp) / ("kesp-win32ui-" + std::to_string(GetCurrentProcessId()));
        std::filesystem::create_directories(root_ / L"\u65E5\u672C");
        std::ofstream(root_ / L"\u65E5\u672C" / L"x.bin", std::ios::binary)
            << std::string(3000, 'x');
        std::ofstream(root_ / "a.bin", std::ios::binary) << std::string(10, 'a');
        form_ = std::make_unique<Win32Form1>(
            GetModuleHandleW(nullptr),
            Form1Services{fat32_, *system_.folders, *system_.ticks, *system_.files, boxes_,
                          *system_.environment, dialogs_, launcher_, printer_, NumberChars{},
                          [this](int status) { exits_.push_back(status); }, system_.images});
    }
    void TearDown() override {
        // Deletes the result files; the recorded exit lets it return.
        form_->controller().FinProgramme();
        EXPECT_EQ(exits_, std::vector<int>{0});
        form_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    std::string folder() const { return utf8(root_.wstring()); }

    SystemServices system_ = makeSystemServices();
    Fat32Volumes fat32_{*system_.volumes};
    RecordingBoxes boxes_;
    AnsweringDialogs dialogs_;
    Win32Launcher launcher_;
    GdiPrinter printer_;
    std::vector<int> exits_;
    std::filesystem::path root_;
    std::unique_ptr<Win32Form1> form_;
};

TEST_F(Win32Form1Test, StartsWithNothingToSaveAndTheCheckBoxTicked) {
    Win32Form1& form = *form_;
    for (const int id : {kIdEnregistrer, kIdImprimer, kIdOptimiser, kIdPlanFormatage}) {
        EXPECT_FALSE(toolEnabled(form, id)) << id;
        EXPECT_FALSE(menuEnabled(form, id)) << id;
    }
    EXPECT_TRUE(toolEnabled(form, kIdAide));
    EXPECT_TRUE(menuEnabled(form, kIdOuvrirImage));
    EXPECT_EQ(form.subFolders(), CheckState::Ticked);
    EXPECT_EQ(form.refreshSeconds(), 1);
}

TEST_F(Win32Form1Test, ControlsGiveBackWhatTheyWereGiven) {
    Win32Form1& form = *form_;
    const struct {
        WPARAM check;
        CheckState state;
    } checks[] = {{BST_UNCHECKED, CheckState::Clear},
                  {BST_CHECKED, CheckState::Ticked},
                  {BST_INDETERMINATE, CheckState::Grey}};
    for (const auto& c : checks) {
        SendMessageW(form.control(kIdSousRep), BM_SETCHECK, c.check, 0);
        EXPECT_EQ(form.subFolders(), c.state);
    }
    // A click ticks or clears, from any state.
    for (const CheckState after : {CheckState::Ticked, CheckState::Clear, CheckState::Ticked}) {
        SendMessageW(form.control(kIdSousRep), BM_CLICK, 0, 0);
        EXPECT_EQ(form.subFolders(), after);
    }
    form.setOkCaption("&Annuler");
    EXPECT_EQ(form.okCaption(), "&Annuler");
    form.setTitle("Répertoire 日本");
    wchar_t title[64];
    GetWindowTextW(form.hwnd(), title, 64);
    EXPECT_EQ(utf8(title), "Répertoire 日本");

    form.clearList1();
    form.appendList1(std::string(300, 'w'));
    EXPECT_EQ(SendMessageW(form.control(kIdList1), LB_GETCOUNT, 0, 0), 1);
    // A line wider than the list gets a scroll bar's worth of extent.
    EXPECT_GT(SendMessageW(form.control(kIdList1), LB_GETHORIZONTALEXTENT, 0, 0), 793);

    form.setDriveEntries({"c:", "z:"}, 1);
    EXPECT_EQ(form.driveText(), "z:");
    form.setDriveText("q:"); // not listed: nothing moves
    EXPECT_EQ(form.driveText(), "z:");
}

TEST_F(Win32Form1Test, PressingOkScansTheFolderAndOpensSaveAndOpti) {
    Win32Form1& form = *form_;
    form.setDriveText(fat32_.driveOf(folder()));
    ASSERT_EQ(form.controller().setFolderPath(folder()), 0);
    EXPECT_EQ(form.folderPath(), folder());

    SendMessageW(form.control(kIdOk), BM_CLICK, 0, 0);
    EXPECT_TRUE(boxes_.shown.empty()) << boxes_.shown.front();
    EXPECT_EQ(form.okCaption(), "&Démarrer");

    // The sub-folder's name reached List1 whole, through UTF-16 and back.
    const HWND list1 = form.control(kIdList1);
    bool sawName = false;
    for (int i = 0; i < SendMessageW(list1, LB_GETCOUNT, 0, 0); ++i)
        sawName = sawName || listLine(list1, i) == folder() + "\\日本\\";
    EXPECT_TRUE(sawName);
    for (const int id : {kIdEnregistrer, kIdImprimer, kIdOptimiser, kIdPlanFormatage}) {
        EXPECT_TRUE(toolEnabled(form, id)) << id;
        EXPECT_TRUE(menuEnabled(form, id)) << id;
    }

    SendMessageW(form.hwnd(), WM_COMMAND, kIdOptimiser, 0);
    ASSERT_NE(form.optiHwnd(), nullptr);
    const HWND grid = FindWindowExW(form.optiHwnd(), nullptr, WC_LISTVIEWW, nullptr);
    const HWND header = reinterpret_cast<HWND>(SendMessageW(grid, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 5);
    // FAT32: four cluster sizes under the title row.
    EXPECT_EQ(SendMessageW(grid, LVM_GETITEMCOUNT, 0, 0), 4);
    // A new run closes it.
    form.closeOpti();
    EXPECT_EQ(form.optiHwnd(), nullptr);
}

std::string statusPanel(Win32Form1& form, int position) {
    wchar_t text[256] = L"";
    SendMessageW(form.control(kIdStatusBar), SB_GETTEXTW, position - 1,
                 reinterpret_cast<LPARAM>(text));
    return utf8(text);
}

std::vector<std::string> list1Lines(Win32Form1& form) {
    std::vector<std::string> lines;
    const HWND list1 = form.control(kIdList1);
    for (int i = 0; i < SendMessageW(list1, LB_GETCOUNT, 0, 0); ++i)
        lines.push_back(listLine(list1, i));
    return lines;
}

TEST_F(Win32Form1Test, AnOpenedImageJoinsTheDrivesAndItsFoldersAreWrittenWithSlashes) {
    // A small FAT12 volume: A.BIN (1000 bytes) and PHOTOS, holding B.BIN (700 bytes).
    test::MemoryVolume volume(test::Layout{});
    volume.entry(0, 0, test::shortEntry("KESP IMAGE ", 0x08));
    volume.entry(0, 1, test::shortEntry("A       BIN", 0x20, 3, 1000));
    volume.entry(0, 2, test::shortEntry("PHOTOS     ", 0x10, 2));
    volume.entry(2, 0, test::shortEntry("B       BIN", 0x20, 5, 700));
    volume.chain({2});
    volume.chain({3, 4});
    volume.chain({5, 6});
    const std::filesystem::path image = root_ / L"carte \u65E5\u672C.img";
    std::ofstream(image, std::ios::binary)
        .write(reinterpret_cast<const char*>(volume.bytes.data()),
               static_cast<std::streamsize>(volume.bytes.size()));
    const std::string path = utf8(image.wstring());

    Win32Form1& form = *form_;
    form.controller().openImages({path});
    ASSERT_TRUE(boxes_.shown.empty()) << boxes_.shown.front();
    EXPECT_EQ(form.driveText(), path + " [KESP IMAGE]");
    EXPECT_EQ(form.folderPath(), path + ":/");
    EXPECT_EQ(statusPanel(form, 5), "FAT");
    SendMessageW(form.control(kIdOk), BM_CLICK, 0, 0);
    ASSERT_TRUE(boxes_.shown.empty()) << boxes_.shown.front();
    const std::vector<std::string> lines = list1Lines(form);
    EXPECT_NE(std::find(lines.begin(), lines.end(), path + ":/"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), path + ":/PHOTOS/"), lines.end());
    EXPECT_EQ(contents(std::filesystem::path(wide(form.controller().etat().CheminRes1)))
                  .find(path + ":/PHOTOS\\"),
              std::string::npos)
        << "one separator inside the image";
}

// GetVolumeInformation names an exFAT card "exFAT": the gate lets it through with its own
// cluster size, and the scan's Opti table is the exFAT one.
TEST_F(Win32Form1Test, AVolumeWindowsCallsExfatIsScanned) {
    test::FakeVolumeService volumes;
    auto& card = volumes.add(folder(), "exFAT", "CARTE");
    card.sectorsPerCluster = 256; // 128 KiB, as on every card over 32 GiB
    std::vector<int> exits;
    Win32Form1 form(GetModuleHandleW(nullptr),
                    Form1Services{volumes, *system_.folders, *system_.ticks, *system_.files, boxes_,
                                  *system_.environment, dialogs_, launcher_, printer_,
                                  NumberChars{}, [&exits](int status) { exits.push_back(status); },
                                  nullptr});
    form.setDriveText(folder() + " [CARTE]");
    EXPECT_EQ(statusPanel(form, 5), "exFAT");
    EXPECT_EQ(statusPanel(form, 4), "1 Cluster = 131072 octets");
    EXPECT_TRUE(IsWindowEnabled(form.control(kIdOk)));
    ASSERT_EQ(form.controller().setFolderPath(folder()), 0);
    SendMessageW(form.control(kIdOk), BM_CLICK, 0, 0);
    EXPECT_TRUE(boxes_.shown.empty()) << boxes_.shown.front();
    EXPECT_TRUE(form.controller().etat().EstExfat);
    SendMessageW(form.hwnd(), WM_COMMAND, kIdOptimiser, 0);
    ASSERT_NE(form.optiHwnd(), nullptr);
    wchar_t title[256] = L"";
    GetWindowTextW(form.optiHwnd(), title, 256);
    EXPECT_NE(utf8(title).find("exFAT"), std::string::npos) << utf8(title);
    form.controller().FinProgramme();
    EXPECT_EQ(exits, std::vector<int>{0});
}

TEST_F(Win32Form1Test, SaveCopiesBothResultFilesAndPrintNamesAMissingPrinter) {
    Win32Form1& form = *form_;
    form.setDriveText(fat32_.driveOf(folder()));
    ASSERT_EQ(form.controller().setFolderPath(folder()), 0);
    SendMessageW(form.control(kIdOk), BM_CLICK, 0, 0);

    const std::filesystem::path saved = root_ / L"r\u00E9sultat.txt";
    dialogs_.saveAs = utf8(saved.wstring());
    SendMessageW(form.hwnd(), WM_COMMAND, kIdEnregistrer, 0);
    ASSERT_TRUE(boxes_.shown.empty()) << boxes_.shown.front();
    const EtatScan& etat = form.controller().etat();
    EXPECT_NE(contents(saved).find("日本"), std::string::npos);
    EXPECT_EQ(contents(saved), contents(std::filesystem::path(wide(etat.CheminRes1))));
    EXPECT_EQ(contents(root_ / L"r\u00E9sultatexcel.txt"),
              contents(std::filesystem::path(wide(etat.CheminRes2))));

    // Cancelled: nothing happens; a printer that is not there: one box.
    SendMessageW(form.hwnd(), WM_COMMAND, kIdImprimer, 0);
    EXPECT_TRUE(boxes_.shown.empty());
    dialogs_.print = PrintChoice{"Kesp imprimante absente", 1, ""};
    SendMessageW(form.hwnd(), WM_COMMAND, kIdImprimer, 0);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_NE(boxes_.shown[0].find("Kesp imprimante absente"), std::string::npos);

    // The plan's text goes the same way, through the controller to the GDI printer.
    SendMessageW(form.hwnd(), WM_COMMAND, kIdPlanFormatage, 0);
    ASSERT_NE(form.planHwnd(), nullptr);
    const HWND planPrint = FindWindowExW(form.planHwnd(), nullptr, L"BUTTON", L"&Imprimer");
    ASSERT_NE(planPrint, nullptr);
    SendMessageW(planPrint, BM_CLICK, 0, 0);
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_NE(boxes_.shown[1].find("~qkplan.tmp a échoué"), std::string::npos) << boxes_.shown[1];
    EXPECT_NE(boxes_.shown[1].find("Kesp imprimante absente"), std::string::npos);
}

TEST_F(Win32Form1Test, NumberedPositionsReachTheirOwnButtonOnly) {
    Win32Form1& form = *form_;
    const struct {
        int position, id;
    } buttons[] = {
        {1, kIdEnregistrer}, {2, kIdImprimer}, {4, kIdOptimiser}, {6, kIdAide}, {7, kIdApropos}};
    const int all[] = {kIdEnregistrer, kIdImprimer,      kIdOptimiser,
                       kIdAide,        kIdPlanFormatage, kIdApropos};
    for (const auto& b : buttons) {
        for (const int id : all)
            SendMessageW(form.control(kIdToolbar), TB_ENABLEBUTTON, id, TRUE);
        form.setToolButtonEnabled(b.position, false);
        for (const int id : all)
            EXPECT_EQ(toolEnabled(form, id), id != b.id) << b.position << " " << id;
    }
    // The separators and positions out of range change nothing.
    for (const int position : {0, 3, 5, 8})
        form.setToolButtonEnabled(position, false);
    for (const int id : all)
        EXPECT_EQ(toolEnabled(form, id), id != kIdApropos) << id;

    const struct {
        MenuItem item;
        int id;
    } menus[] = {{MenuItem::Enregistrer, kIdEnregistrer},
                 {MenuItem::Imprimer, kIdImprimer},
                 {MenuItem::optimiser, kIdOptimiser}};
    for (const auto& m : menus) {
        form.setMenuEnabled(m.item, true);
        EXPECT_TRUE(menuEnabled(form, m.id));
        form.setMenuEnabled(m.item, false);
        EXPECT_FALSE(menuEnabled(form, m.id));
    }
    form.setPlanEnabled(true);
    EXPECT_TRUE(toolEnabled(form, kIdPlanFormatage) && menuEnabled(form, kIdPlanFormatage));
}

// This window has no balance sheet to show: the item stays greyed, even when the controller
// offers a sheet, and its command changes nothing.
TEST_F(Win32Form1Test, TheBalanceItemStaysGreyed) {
    Win32Form1& form = *form_;
    EXPECT_FALSE(menuEnabled(form, kIdBilanVolume));
    form.setBalanceEnabled(true, "Chaque cluster compté");
    EXPECT_FALSE(menuEnabled(form, kIdBilanVolume));
    SendMessageW(form.hwnd(), WM_COMMAND, kIdBilanVolume, 0);
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(Win32Form1Test, StatusPanelsKeepTheirTextAndMakeRoomForIt) {
    Win32Form1& form = *form_;
    const HWND bar = form.control(kIdStatusBar);
    auto edges = [bar] {
        int parts[7] = {};
        SendMessageW(bar, SB_GETPARTS, 7, reinterpret_cast<LPARAM>(parts));
        return std::vector<int>(parts, parts + 7);
    };
    form.setStatusPanel(4, "");
    const std::vector<int> before = edges();
    const std::string longText = "1 cluster = 32 768 octets, répertoires 日本 et encore";
    form.setStatusPanel(4, longText);
    wchar_t text[128] = L"";
    SendMessageW(bar, SB_GETTEXTW, 3, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(utf8(text), longText);
    EXPECT_GT(edges()[3] - edges()[2], before[3] - before[2]);
    EXPECT_EQ(edges()[2], before[2]); // the panels before it stay where they were
}

TEST_F(Win32Form1Test, EventsReachTheController) {
    Win32Form1& form = *form_;
    // The slider: its value becomes the refresh period.
    SendMessageW(form.control(kIdSldFreq), TBM_SETPOS, TRUE, 5);
    SendMessageW(form.hwnd(), WM_HSCROLL, TB_THUMBPOSITION,
                 reinterpret_cast<LPARAM>(form.control(kIdSldFreq)));
    EXPECT_EQ(form.controller().etat().PeriodeRafraichissement, 5000);

    // A right click on Dir1: the partition report box.
    NMHDR click{form.control(kIdDir1), kIdDir1, static_cast<UINT>(NM_RCLICK)};
    SendMessageW(form.hwnd(), WM_NOTIFY, kIdDir1, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(boxes_.shown.size(), 1u);
}

TEST_F(Win32Form1Test, Dir1FollowsTheSelectedFolder) {
    Win32Form1& form = *form_;
    std::filesystem::create_directories(root_ / "b");
    form.showFolders(folder().substr(0, 3), folder(), nullptr);
    const HWND tree = form.control(kIdDir1);
    // The chain down to the folder, then its two sub-folders in name order.
    const auto selected =
        reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    auto child = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(selected)));
    std::vector<std::string> names;
    for (HTREEITEM item = child; item;
         item = reinterpret_cast<HTREEITEM>(
             SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        wchar_t text[64] = L"";
        TVITEMW data{};
        data.mask = TVIF_TEXT;
        data.hItem = item;
        data.pszText = text;
        data.cchTextMax = 64;
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
        names.push_back(utf8(text));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"b", "日本"}));
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(child));
    EXPECT_EQ(form.folderPath(), folder() + "\\b");
}

TEST_F(Win32Form1Test, ClosingTheWindowEndsTheProgramOnce) {
    SendMessageW(form_->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(exits_, std::vector<int>{0});
    exits_.clear(); // TearDown's own shutdown is the second
}

} // namespace
} // namespace kesp
