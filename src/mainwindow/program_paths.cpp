#include "mainwindow/program_paths.h"

#include "about/apropos_logic.h"
#include "platform/folder_enum.h"

namespace kesp {

std::string TitreApplication(int major, int minor, int revision) {
    return std::string(kTitreApplication) + " " + LibelleVersion(major, minor, revision);
}

std::string DossierDuProgramme(const std::string& programFile) {
    const auto slash = programFile.find_last_of(kSeparator);
    if (slash == std::string::npos) return {};
    // A program at a root keeps the root's separator, as the platform reports the folder.
    if (slash == 0 || (slash == 2 && programFile[1] == ':'))
        return programFile.substr(0, slash + 1);
    return programFile.substr(0, slash);
}

std::string DossierTemporaire(ProgramEnvironment& environment) {
#ifdef _WIN32
    if (auto value = environment.variable("temp"); value && !value->empty()) return *value;
    return "c:";
#else
    for (const char* name : {"temp", "TMPDIR"}) {
        if (auto value = environment.variable(name); value && !value->empty()) return *value;
    }
    return "/tmp";
#endif
}

std::string CheminResultat1(const std::string& dossierTemp) {
    return dossierTemp + kSeparator + "~qkres1.tmp";
}
std::string CheminResultat2(const std::string& dossierTemp) {
    return dossierTemp + kSeparator + "~qkres2.tmp";
}
std::string CheminAideDe(const std::string& dossierProgramme) {
    return dossierProgramme + kSeparator + "kespaide.mht";
}

} // namespace kesp
