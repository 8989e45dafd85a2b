// The user's documents folder: XDG_DOCUMENTS_DIR read as xdg-user-dir reads it, and the home
// folder when it names none or none that exists.
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>

#include "os/posix/environment.h"
#include "support/temp_dir.h"

namespace kesp {
namespace {

TEST(UserDirs, DocumentsSettingAsTheShellWouldReadIt) {
    const struct {
        const char* text;
        const char* documents;
    } cases[] = {
        {"XDG_DESKTOP_DIR=\"$HOME/Bureau\"\nXDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n",
         "/home/u/Documents"},
        {"# comment\n  XDG_DOCUMENTS_DIR=\"/srv/papiers/\"\n", "/srv/papiers"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/Mes \\\"papiers\\\"\"", "/home/u/Mes \"papiers\""},
        {"XDG_DOCUMENTS_DIR=\"$HOME/A\"\nXDG_DOCUMENTS_DIR=\"$HOME/B\"\n", "/home/u/B"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/\"\n", ""}, // turned off: the home folder itself
        {"XDG_DOCUMENTS_DIR=\"$HOMEWORK/x\"\n", ""},
        {"XDG_DOCUMENTS_DIR=\"relative/x\"\n", ""},
        {"XDG_DOCUMENTS_DIR=\"$HOME/unclosed\n", ""},
        {"#XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(documentsInUserDirs(c.text, "/home/u"), c.documents) << c.text;
}

TEST(UserDirs, TheFolderWhenItExistsElseHome) {
    test::TempDir home;
    std::ofstream(home.folder(".config") + "/user-dirs.dirs")
        << "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n";
    const char* saved = std::getenv("HOME");
    const std::optional<std::string> restore =
        saved ? std::optional<std::string>(saved) : std::nullopt;
    setenv("HOME", home.path().c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    PosixEnvironment environment;
    EXPECT_EQ(environment.documentsFolder(), home.path()) << "no Documents folder yet";
    home.folder("Documents");
    EXPECT_EQ(environment.documentsFolder(), home / "Documents");
    if (restore)
        setenv("HOME", restore->c_str(), 1);
    else
        unsetenv("HOME");
}

} // namespace
} // namespace kesp
