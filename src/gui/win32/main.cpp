// kesp.exe: the window on Windows. Wires the system's services and the Win32 ones into Form1 and
// runs the message loop.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include "gui/win32/form1_win32.h"
#include "gui/win32/selftest.h"
#include "gui/win32/text_printer.h"
#include "gui/win32/wide_text.h"
#include "gui/win32/win32_file_dialogs.h"
#include "gui/win32/win32_launcher.h"
#include "gui/win32/win32_message_boxes.h"
#include "images/system_services.h"
#include "os/text_encoding.h"

namespace {

std::vector<std::string> arguments() {
    int count = 0;
    wchar_t** list = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> result;
    for (int i = 1; i < count; ++i)
        result.push_back(kesp::utf8(list[i]));
    LocalFree(list);
    return result;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES |
                                                       ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    const std::vector<std::string> args = arguments();
    const std::optional<kesp::SelftestArgs> selftest = kesp::parseSelftest(args);
    kesp::SystemServices system = kesp::makeSystemServices();
    kesp::Fat32Volumes fat32(*system.volumes);
    kesp::VolumeService& volumes = selftest ? fat32 : *system.volumes;
    kesp::Win32MessageBoxes boxes;
    kesp::Win32FileDialogs dialogs;
    kesp::Win32Launcher launcher;
    kesp::GdiPrinter printer;
    int selftestStatus = 0;

    kesp::Win32Form1 form(
        instance,
        {volumes, *system.folders, *system.ticks, *system.files, boxes, *system.environment,
         dialogs, launcher, printer, kesp::userNumberChars(),
         [&selftestStatus](int status) { std::_Exit(status != 0 ? status : selftestStatus); },
         system.images});
    boxes.setOwner(form.hwnd());
    dialogs.setOwner(form.hwnd());
    ShowWindow(form.hwnd(), selftest ? SW_SHOWNORMAL : show);
    UpdateWindow(form.hwnd());

    // Once, before anything is read: which names this Windows cannot hand over.
    if (const std::string notice = kesp::legacyCodePageNotice(); !notice.empty() && !selftest)
        boxes.show(notice, form.controller().TitreApplication(), kesp::MessageIcon::Exclamation);

    if (selftest) {
        selftestStatus = kesp::runSelftest(form, volumes, *system.images, *selftest);
        form.controller().FinProgramme();
    } else if (!args.empty()) {
        // Disk images named on the command line join the drive list; the first is selected.
        form.controller().openImages(args);
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorW(form.hwnd(), form.accelerators(), &message)) continue;
        // Tab, the buttons' mnemonics and Enter, as in a dialog.
        if (IsDialogMessageW(form.hwnd(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    form.controller().FinProgramme();
    return 0;
}
