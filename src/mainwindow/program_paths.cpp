#include "mainwindow/program_paths.h"

#include "about/apropos_logic.h"
#include "platform/folder_enum.h"
#include "platform/private_folder.h"

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
    if (auto value = environment.variable("temp"); value && !value->empty()) return *value;
    if (auto runtime = environment.variable("XDG_RUNTIME_DIR");
        runtime && !runtime->empty() && isPrivateFolder(*runtime))
        return *runtime;
    std::string base = "/tmp";
    if (auto value = environment.variable("TMPDIR"); value && !value->empty()) base = *value;
    const std::string own = base + "/kesp-" + userTag();
    if (makePrivateFolder(own)) return own;
    // The stable name is taken (by another user, or by something that is not a private
    // folder): a fresh one serves this start.
    const std::string fresh = makeFreshPrivateFolder(own + "-");
    return fresh.empty() ? own : fresh;
#endif
}

std::string CheminResultat1(const std::string& dossierTemp, const std::string& instance) {
    return dossierTemp + kSeparator + "~qkres1" + instance + ".tmp";
}
std::string CheminResultat2(const std::string& dossierTemp, const std::string& instance) {
    return dossierTemp + kSeparator + "~qkres2" + instance + ".tmp";
}
std::string CheminAideDe(const std::string& dossierProgramme) {
    return dossierProgramme + kSeparator + "kespaide.mht";
}

} // namespace kesp
