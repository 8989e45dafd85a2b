#pragma once
// The program-wide strings of the start-up: title, program folder, help file, temporary folder
// and result file paths. No Qt: the command line and the tests use them as they are.
#include <string>

#include "os/environment.h"

namespace kesp {

// "Kesp 2005 Version 2.0.5": the numbers in plain decimal, no leading zeros.
std::string TitreApplication(int major, int minor, int revision);

// The folder of `programFile`, without a trailing separator unless it is the root ("/").
std::string DossierDuProgramme(const std::string& programFile);

// "temp" when set and not empty, used as it is. Else a folder only this user can enter:
// XDG_RUNTIME_DIR when it is one, or "kesp-<uid>" under TMPDIR (or "/tmp"), made or reused; a
// fresh private folder beside it when that name is taken. (The Windows build keeps "temp", then
// the drive "c:".)
std::string DossierTemporaire(ProgramEnvironment& environment);

// The result files' paths, by plain concatenation: nothing added or removed. `instance` tells a
// second running instance's files apart ("-<pid>"); they still match "~qk*.tmp".
std::string CheminResultat1(const std::string& dossierTemp, const std::string& instance = {});
std::string CheminResultat2(const std::string& dossierTemp, const std::string& instance = {});

// The help document: a web archive on Windows, a self-contained HTML page elsewhere (Linux
// browsers do not open web archives).
#ifdef _WIN32
inline constexpr const char* kNomAide = "kespaide.mht";
#else
inline constexpr const char* kNomAide = "kespaide.html";
#endif
// kNomAide beside the program: where a build tree keeps it.
std::string CheminAideDe(const std::string& dossierProgramme);
// kNomAide in `dossierDonnees`, a folder given relative to the program's ("../share/kesp"),
// with the leading ".." resolved against `dossierProgramme`.
std::string CheminAideInstallee(const std::string& dossierProgramme,
                                const std::string& dossierDonnees);
// Beside the program when it is there, else the installed one when that is there, else beside
// the program (the path the failure box then names).
std::string CheminAide(const std::string& dossierProgramme, const std::string& dossierDonnees,
                       ProgramEnvironment& environment);

} // namespace kesp
