#pragma once
#include "platform/folder_enum.h"
#include "platform/number_chars.h"
#include "platform/output_files.h"
#include "platform/ticks.h"

namespace kesp {

// The platform services a run uses, injected so tests can hand in fakes.
struct ScanServices {
    FolderEnumerator& folders;
    TickCounter& ticks;
    OutputFiles& files;
    NumberChars chars;
};

} // namespace kesp
