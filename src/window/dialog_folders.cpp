#include "window/dialog_folders.h"

#include "os/folder_enum.h"
#include "os/host_folder.h"
#include "window/program_paths.h"

namespace kesp {

std::string DialogFolders::saveFolder() const {
    return lastSave_.empty() ? environment_.documentsFolder() : lastSave_;
}

std::string DialogFolders::imageFolder() const {
    return lastImage_.empty() ? environment_.documentsFolder() : lastImage_;
}

std::string DialogFolders::folderOf(const std::string& file) {
    const bool absolute =
        !file.empty() && (file.front() == kSeparator || (file.size() > 1 && file[1] == ':'));
    const std::string folder = DossierDuProgramme(file);
    if (absolute) return folder;
    const std::string current = currentHostFolder();
    if (folder.empty() || current.empty()) return current;
    return current + (current.back() == kSeparator ? "" : std::string(1, kSeparator)) + folder;
}

} // namespace kesp
