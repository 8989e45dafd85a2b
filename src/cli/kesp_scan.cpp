#include "cli/kesp_scan.h"

#include <filesystem>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/arguments.h"
#include "cli/image_options.h"
#include "cli/interrupt.h"
#include "cli/line_output.h"
#include "cli/stream_scan_view.h"
#include "cli/volume_options.h"
#include "platform/system_services.h"
#include "scan/result_lines.h"
#include "scan/scan_run.h"
#include "volume/opti_table.h"

namespace kesp {

namespace {

// Milliseconds between status refreshes; also the longest a Ctrl+C waits to be noticed while
// files are being read.
constexpr std::int32_t kRefreshPeriod = 100;

// An absent --report or --table: the run writes its lines nowhere.
class DiscardSink final : public LineSink {
public:
    bool writeLine(std::string_view) override { return true; }
    bool close() override { return true; }
    std::string error() const override { return {}; }
};

class OptionalOutputFiles final : public OutputFiles {
public:
    explicit OptionalOutputFiles(OutputFiles& files) : files_(files) {}
    std::unique_ptr<LineSink> create(const std::string& path, std::string& error) override {
        if (path.empty()) return std::make_unique<DiscardSink>();
        return files_.create(path, error);
    }

private:
    OutputFiles& files_;
};

// FOLDER made absolute and free of "." / ".." and repeated separators, without a trailing "/"
// except for "/" itself. Symbolic links are kept as named.
std::string absoluteFolder(const std::string& folder) {
    std::filesystem::path p(folder);
    if (p.is_relative()) {
        std::error_code ec;
        p = std::filesystem::current_path(ec) / p;
    }
    std::string out = p.lexically_normal().string();
    while (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return out;
}

bool sameFile(const std::string& a, const std::string& b) {
    if (absoluteFolder(a) == absoluteFolder(b)) return true;
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

int fail(std::ostream& err, const std::string& message) {
    err << "kesp-scan: " << message << '\n';
    return kExitFailed;
}

} // namespace

int runKespScan(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                KespScanServices& services) {
    ScanArguments arguments;
    const std::string problem = parseScanArguments(args, arguments);
    if (arguments.help) {
        out << kScanUsage << '\n';
        return kExitDone;
    }
    if (!problem.empty()) return fail(err, problem);

    if (arguments.partitions) {
        if (!services.images) return fail(err, "images disque non prises en charge ici");
        return printPartitions(arguments.folder, *services.images, out, err);
    }
    std::string folder = absoluteFolder(arguments.folder);
    struct stat st {};
    const bool found = ::stat(folder.c_str(), &st) == 0;
    if (!found || !S_ISDIR(st.st_mode)) {
        // Not a host folder: an image, or a folder inside one.
        std::string problem;
        const auto inImage = services.images
                                 ? imageFolder(arguments.folder, *services.images, problem)
                                 : std::nullopt;
        if (!problem.empty()) return fail(err, problem);
        if (!inImage)
            return fail(err, arguments.folder +
                                 (found ? " n'est pas un dossier" : " : dossier introuvable"));
        folder = *inImage;
    }
    if (arguments.report && arguments.table && sameFile(*arguments.report, *arguments.table))
        return fail(err, "--report et --table désignent le même fichier");

    // H shows the drive-list entry of the folder's volume, as Drive1 would.
    const std::string drive = services.volumes.driveOf(folder);
    if (arguments.volumeInfo) return printVolumeInfo(drive, services.volumes, out, err);

    EtatScan etat;
    if (arguments.clusterSize) {
        etat.TailleCluster = *arguments.clusterSize;
        etat.EstFat32 = arguments.fat32;
    } else if (const int refused = gateVolume(drive, etat, services.volumes, out, err))
        return refused;
    etat.ListeDetaillee = arguments.detail;
    etat.CheminRes1 = arguments.report.value_or("");
    etat.CheminRes2 = arguments.table.value_or("");
    etat.TitreApplication = "kesp-scan";
    etat.PeriodeRafraichissement = kRefreshPeriod;

    etat.TailleDisqueMo = services.volumes.totalMegabytes(services.volumes.entryRoot(drive));

    OptionalOutputFiles files(services.files);
    ScanServices scan{services.folders, services.ticks, files, services.chars};
    StreamScanView view(out, err, services.statusOnErr ? &err : nullptr,
                        {drive, folder, arguments.subFolders, services.interrupted}, etat, scan);
    const RunOutcome outcome = OK_Click(etat, view, scan);
    view.finishStatus();
    for (const UnreadableFolder& folder : outcome.problems.unreadable)
        err << "kesp-scan: " << folder.path << " : dossier illisible (" << folder.reason << ")\n";
    if (outcome.problems.volumeLost)
        err << "kesp-scan: " << volumeLostLine(outcome.problems.volumeLost->reason) << '\n';
    if (view.failed()) {
        out.flush();
        return kExitFailed;
    }
    for (const std::string& line : view.list3())
        writeLine(out, line);
    if (arguments.whatIf)
        for (const std::string& line : LignesTableOpti(ConstruireTableOpti(etat)))
            writeLine(out, line);
    out.flush();
    if (!out) return fail(err, "écriture impossible sur la sortie standard");
    // A Ctrl+C that lands once the walk is over stops nothing: the totals stand.
    if (outcome.end == RunEnd::Cancelled) return kExitCancelled;
    if (outcome.end == RunEnd::VolumeLost || !outcome.problems.unreadable.empty())
        return kExitIncomplete;
    return kExitDone;
}

int runKespScan(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const SystemServices system = makeSystemServices();
    InterruptGuard interrupt;
    KespScanServices services{*system.folders,
                              *system.ticks,
                              *system.files,
                              *system.volumes,
                              userNumberChars(),
                              [] { return InterruptGuard::interrupted(); },
                              &err == &std::cerr && isatty(STDERR_FILENO) == 1,
                              system.images};
    return runKespScan(args, out, err, services);
}

} // namespace kesp
