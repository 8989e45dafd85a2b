#include "window/program_paths.h"

#include <algorithm>
#include <ctime>

#include "os/folder_enum.h"
#include "os/private_folder.h"
#include "window/apropos_logic.h"

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
    return dossierProgramme + kSeparator + kNomAide;
}

std::string CheminAideInstallee(const std::string& dossierProgramme,
                                const std::string& dossierDonnees) {
    std::string folder = dossierProgramme;
    std::string rest = dossierDonnees;
    // "../share/kesp" from "/usr/bin" reads "/usr/share/kesp": the box that names a missing
    // help shows the path a user would type.
    while (rest.rfind("..", 0) == 0 && (rest.size() == 2 || rest[2] == kSeparator)) {
        const auto slash = folder.find_last_of(kSeparator);
        if (slash == std::string::npos) break;
        folder.erase(slash == 0 ? 1 : slash);
        rest.erase(0, std::min<std::size_t>(rest.size(), 3));
    }
    if (!folder.empty() && folder.back() != kSeparator) folder += kSeparator;
    if (!rest.empty()) folder += rest + kSeparator;
    return folder + kNomAide;
}

std::string CheminAide(const std::string& dossierProgramme, const std::string& dossierDonnees,
                       ProgramEnvironment& environment) {
    const std::string beside = CheminAideDe(dossierProgramme);
    std::tm date{};
    if (environment.lastModified(beside, date)) return beside;
    const std::string installed = CheminAideInstallee(dossierProgramme, dossierDonnees);
    if (environment.lastModified(installed, date)) return installed;
    return beside;
}

} // namespace kesp
