#pragma once
// Where the save and open dialogs start: the folder used last since the program started, else
// the user's documents folder. The scan's own temporary folder is never offered (the system
// empties it), and nothing is kept between runs.
#include <string>

#include "os/environment.h"

namespace kesp {

class DialogFolders {
public:
    explicit DialogFolders(ProgramEnvironment& environment) : environment_(environment) {}

    // "Enregistrer sous": the folder of the last file saved, else the documents folder.
    std::string saveFolder() const;
    // "Ouvrir une image disque…": the folder of the last image opened, else the documents folder.
    std::string imageFolder() const;

    void saved(const std::string& file) { lastSave_ = folderOf(file); }
    // `file` as given (a name relative to the current folder too).
    void imageOpened(const std::string& file) { lastImage_ = folderOf(file); }

private:
    static std::string folderOf(const std::string& file);

    ProgramEnvironment& environment_;
    std::string lastSave_;
    std::string lastImage_;
};

} // namespace kesp
