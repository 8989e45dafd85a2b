#include "cli/kesp_scan.h"

#include <csignal>
#include <iostream>

#include "cli/arguments.h"
#include "cli/image_options.h"
#include "cli/interrupt.h"
#include "cli/line_output.h"
#include "cli/plan_output.h"
#include "cli/scan_target.h"
#include "cli/stream_scan_view.h"
#include "cli/volume_options.h"
#include "platform/file_identity.h"
#include "platform/system_services.h"
#include "platform/terminal.h"
#include "platform/text_encoding.h"
#include "scan/escaped_text.h"
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
    bool commit() override { return true; }
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

int fail(std::ostream& err, const std::string& message, bool escape) {
    err << "kesp-scan: " << (escape ? escapedFor(EscapeFor::Terminal, message) : message) << '\n';
    return kExitFailed;
}

// The status of a run stopped before its end: 128 + the signal that stopped it, as a shell
// reports a process ended by it.
int cancelledStatus(const StreamScanView& view, const KespScanServices& services) {
#ifdef SIGPIPE
    if (view.outputClosed()) return 128 + SIGPIPE;
#else
    (void)view;
#endif
    const int signal = services.stopSignal ? services.stopSignal() : 0;
    return signal > 0 ? 128 + signal : kExitCancelled;
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
    const bool escapeErr = services.escapeErr;
    if (!problem.empty()) return fail(err, problem, escapeErr);

    if (arguments.partitions) {
        if (!services.images) return fail(err, "images disque non prises en charge ici", escapeErr);
        return printPartitions(arguments.folder, *services.images, out, err);
    }
    const ScanTarget target = resolveScanTarget(arguments.folder, services.images);
    if (!target.problem.empty()) {
        fail(err, target.problem, escapeErr);
        return target.status;
    }
    const std::string& folder = target.folder;
    if (arguments.report && arguments.table && sameOutputFile(*arguments.report, *arguments.table))
        return fail(err, "--report et --table désignent le même fichier", escapeErr);

    // H shows the drive-list entry of the folder's volume, as Drive1 would.
    const std::string drive = services.volumes.driveOf(folder);
    if (arguments.volumeInfo)
        return printVolumeInfo(drive, services.volumes, out, err, services.escapeOut);

    // The plan's volume is settled before the walk, so that a missing size costs no scan.
    const bool planWanted = arguments.plan || arguments.planTable;
    const std::uint64_t planVolume =
        planWanted ? arguments.volumeSize.value_or(fatVolumeBytes(drive, services.volumes)) : 0;
    if (planWanted && planVolume == 0)
        return fail(err,
                    "--volume-size est requis : la taille du volume à planifier est "
                    "inconnue (" +
                        arguments.folder + " n'est pas sur un volume FAT)",
                    escapeErr);

    EtatScan etat;
    if (arguments.clusterSize) {
        etat.TailleCluster = *arguments.clusterSize;
        etat.EstFat32 = arguments.fat32;
    } else if (const int refused =
                   gateVolume(drive, etat, services.volumes, out, err, services.escapeOut))
        return refused;
    etat.ListeDetaillee = arguments.detail;
    etat.CheminRes1 = arguments.report.value_or("");
    etat.CheminRes2 = arguments.table.value_or("");
    etat.TitreApplication = "kesp-scan";
    etat.PeriodeRafraichissement = kRefreshPeriod;

    etat.TailleDisqueMo = services.volumes.totalMegabytes(services.volumes.entryRoot(drive));

    OptionalOutputFiles files(services.files);
    ScanServices scan{services.folders, services.ticks, files, services.chars};
    StreamScanView view(
        out, err, services.statusOnErr ? &err : nullptr,
        {drive, folder, arguments.subFolders, services.interrupted, services.escapeOut, escapeErr},
        etat, scan);
    const RunOutcome outcome = OK_Click(etat, view, scan);
    view.finishStatus();
    for (const UnreadableFolder& folder : outcome.problems.unreadable)
        err << "kesp-scan: " << view.forErr(folder.path) << " : dossier illisible ("
            << folder.reason << ")\n";
    if (outcome.problems.volumeLost)
        err << "kesp-scan: " << view.forErr(volumeLostLine(outcome.problems.volumeLost->reason))
            << '\n';
    if (view.failed()) {
        out.flush();
        return kExitFailed;
    }
    for (const std::string& line : view.list3())
        writeLine(out, view.forOut(line));
    if (arguments.whatIf)
        for (const std::string& line : LignesTableOpti(ConstruireTableOpti(etat)))
            writeLine(out, line);
    // A plan of part of the tree would mislead: only a walk that went through gets one.
    if (planWanted && outcome.end == RunEnd::Completed) {
        const std::string planProblem = emitPlan(etat.Tally, planVolume, arguments.plan,
                                                 arguments.planTable, out, services.files);
        if (!planProblem.empty()) return fail(err, planProblem, escapeErr);
    }
    out.flush();
    // A Ctrl+C that lands once the walk is over stops nothing: the totals stand.
    if (outcome.end == RunEnd::Cancelled) return cancelledStatus(view, services);
    if (!out) return fail(err, "écriture impossible sur la sortie standard", escapeErr);
    if (outcome.end == RunEnd::VolumeLost || !outcome.problems.unreadable.empty())
        return kExitIncomplete;
    return kExitDone;
}

int runKespScan(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const SystemServices system = makeSystemServices();
    InterruptGuard interrupt;
    const bool errTerminal = &err == &std::cerr && isTerminal(StandardStream::Err);
    // Said once, before anything else: names that cannot be read are reported folder by folder.
    if (const std::string notice = legacyCodePageNotice(); !notice.empty())
        err << "kesp-scan: " << notice << '\n';
    KespScanServices services{*system.folders,
                              *system.ticks,
                              *system.files,
                              *system.volumes,
                              userNumberChars(),
                              [] { return InterruptGuard::interrupted(); },
                              errTerminal,
                              system.images,
                              &out == &std::cout && isTerminal(StandardStream::Out),
                              errTerminal,
                              [] { return InterruptGuard::signalNumber(); }};
    return runKespScan(args, out, err, services);
}

} // namespace kesp
