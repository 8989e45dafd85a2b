#pragma once
#include "os/folder_enum.h"
#include "os/number_chars.h"
#include "os/output_files.h"
#include "os/ticks.h"

namespace kesp {

// The platform services a run uses, injected so tests can hand in fakes.
struct ScanServices {
    FolderEnumerator& folders;
    TickCounter& ticks;
    OutputFiles& files;
    NumberChars chars;
};

} // namespace kesp
