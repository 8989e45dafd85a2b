#pragma once
// The platform services the main window works with (its Form1Controller), handed in by main()
// or by a test.
#include <functional>

#include "platform/dialogs.h"
#include "platform/environment.h"
#include "platform/folder_enum.h"
#include "platform/image_volumes.h"
#include "platform/launcher.h"
#include "platform/message_box.h"
#include "platform/number_chars.h"
#include "platform/output_files.h"
#include "platform/ticks.h"
#include "platform/volume_service.h"

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
    NumberChars chars;
    // FinProgramme's last step; empty means std::_Exit. A test records the call instead, and
    // FinProgramme then returns.
    std::function<void(int status)> exitProcess;
    // Opens disk images into the drive list; null where the program cannot read images.
    ImageVolumes* images = nullptr;
};

} // namespace kesp
