#pragma once
// The platform services the main window works with (its Form1Controller), handed in by main()
// or by a test.
#include <functional>

#include "images/image_volumes.h"
#include "os/dialogs.h"
#include "os/environment.h"
#include "os/folder_enum.h"
#include "os/launcher.h"
#include "os/message_box.h"
#include "os/number_chars.h"
#include "os/output_files.h"
#include "os/printer.h"
#include "os/ticks.h"
#include "os/volume_service.h"

namespace kesp {

struct Form1Services {
    VolumeService& volumes;
    FolderEnumerator& folders;
    TickCounter& ticks;
    OutputFiles& files;
    MessageBoxes& boxes;
    ProgramEnvironment& environment;
    FileDialogs& dialogs;
    ProgramLauncher& launcher;
    Printer& printer;
    NumberChars chars;
    // FinProgramme's last step; empty means std::_Exit. A test records the call instead, and
    // FinProgramme then returns.
    std::function<void(int status)> exitProcess;
    // Opens disk images into the drive list; null where the program cannot read images.
    ImageVolumes* images = nullptr;
};

} // namespace kesp
