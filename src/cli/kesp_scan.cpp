#include "cli/kesp_scan.h"

#include <iostream>

#include "cli/arguments.h"
#include "cli/destinations.h"
#include "cli/image_options.h"
#include "cli/line_output.h"
#include "cli/plan_output.h"
#include "cli/scan_printer.h"
#include "cli/scan_target.h"
#include "cli/volume_options.h"
#include "images/system_services.h"
#include "os/interrupt.h"
#include "os/terminal.h"
#include "os/text_encoding.h"
#include "plan/volume_size.h"
#include "scan/escaped_text.h"
#include "scan/result_lines.h"
#include "scan/walk.h"
#include "volume/opti_table.h"

namespace kesp {

namespace {

int fail(std::ostream& err, const std::string& message, bool escape) {
    err << "kesp-scan: " << (escape ? escapedFor(EscapeFor::Terminal, message) : message) << '\n';
    return kExitFailed;
}

// The status of a run stopped before its end: 128 + the signal that stopped it, as a shell
// reports a process ended by it.
int cancelledStatus(const ScanPrinter& printer, const KespScanServices& services) {
    if (printer.outputClosed() && closedOutputSignal() != 0) return 128 + closedOutputSignal();
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
    if (const std::string refused = refusedDestination(
            arguments, target.image.empty() ? folder : target.image, !target.image.empty());
        !refused.empty())
        return fail(err, refused, escapeErr);

    // H shows the drive-list entry of the folder's volume, as Drive1 would.
    const std::string drive = services.volumes.driveOf(folder);
    if (arguments.volumeInfo)
        return printVolumeInfo(drive, services.volumes, out, err, services.escapeOut);

    // The plan's volume is settled before the walk, so that a missing size costs no scan.
    const bool planWanted = arguments.plan || arguments.planTable;
    const std::uint64_t planVolume =
        planWanted ? arguments.volumeSize.value_or(plannedVolumeBytes(drive, services.volumes)) : 0;
    if (planWanted && planVolume == 0)
        return fail(err,
                    "--volume-size est requis : la taille du volume à planifier est "
                    "inconnue (" +
                        arguments.folder + " n'est pas sur un volume FAT ni exFAT)",
                    escapeErr);
    if (planVolume > plan::kLargestVolumeBytes)
        return fail(err, plan::tooLargeMessage(arguments.folder), escapeErr);

    // Its file is started before the walk, so that a name that cannot be written costs no scan.
    std::unique_ptr<LineSink> planTable;
    if (arguments.planTable) {
        std::string error;
        planTable = services.files.create(*arguments.planTable, error);
        if (!planTable) return fail(err, *arguments.planTable + " : " + error, escapeErr);
    }

    EtatScan etat;
    if (arguments.clusterSize) {
        etat.TailleCluster = *arguments.clusterSize;
        etat.EstFat32 = arguments.fat32;
        etat.EstExfat = arguments.exfat;
    } else if (const int refused =
                   gateVolume(drive, etat, services.volumes, out, err, services.escapeOut))
        return refused;
    if (etat.TailleCluster <= 0) return fail(err, badClusterSizeMessage(etat.TailleCluster), false);
    etat.TailleDisqueMo = services.volumes.totalMegabytes(services.volumes.entryRoot(drive));

    ScanRequest request;
    request.folder = folder;
    request.clusterSize = static_cast<std::uint64_t>(etat.TailleCluster);
    request.subFolders = arguments.subFolders;
    request.detail = arguments.detail;
    request.reportPath = arguments.report.value_or("");
    request.tablePath = arguments.table.value_or("");
    request.header = driveHeaderLine(drive, etat.TailleDisqueMo, services.chars);
    request.numberMask = etat.FormatNombre;
    request.detailHeader = etat.EnteteDetail;
    request.tally = planWanted; // the names' entries cost a little each: only when planned
    request.exfat = etat.EstExfat;
    ScanServices scan{services.folders, services.ticks, services.files, services.chars};
    ScanPrinter printer(out, services.ticks,
                        {services.statusOnErr ? &err : nullptr, services.interrupted,
                         services.escapeOut, etat.FormatNombre, services.chars});
    const RunOutcome outcome = runScan(request, scan, printer, printer.stop());
    printer.finishStatus(outcome);
    const auto forOut = [&](const std::string& line) {
        return services.escapeOut ? escapedFor(EscapeFor::Terminal, line) : line;
    };
    const auto forErr = [&](const std::string& line) {
        return escapeErr ? escapedFor(EscapeFor::Terminal, line) : line;
    };
    const bool failed = outcome.end == RunEnd::FilesFailed;
    if (failed) err << "kesp-scan: " << forErr(outcome.filesFailure) << '\n';
    for (const UnreadableFolder& folder : outcome.problems.unreadable)
        err << "kesp-scan: " << forErr(folder.path) << " : dossier illisible (" << folder.reason
            << ")\n";
    if (outcome.problems.volumeLost)
        err << "kesp-scan: " << forErr(volumeLostLine(outcome.problems.volumeLost->reason)) << '\n';
    if (failed) {
        out.flush();
        return kExitFailed;
    }
    writeLine(out, forOut(request.header));
    writeLine(out, forOut(searchOnLine(folder)));
    if (outcome.end == RunEnd::VolumeLost) {
        writeLine(out, forOut(volumeLostLine(outcome.problems.volumeLost->reason)));
    } else if (outcome.end == RunEnd::Cancelled) {
        writeLine(out, kLineCancelled);
    } else {
        const ScanTotals& t = outcome.totals;
        writeLine(out, totalUsefulLine(t.useful, etat.FormatNombre, services.chars));
        writeLine(out, totalRealLine(t.real, etat.FormatNombre, services.chars));
        writeLine(out, totalLossLine(t.real - t.useful, etat.FormatNombre, services.chars));
    }
    if (!outcome.problems.unreadable.empty())
        writeLine(out, unreadableFoldersLine(outcome.problems.unreadable.size()));
    if (arguments.whatIf) {
        keepTotals(etat, outcome.totals);
        for (const std::string& line : LignesTableOpti(ConstruireTableOpti(etat)))
            writeLine(out, line);
    }
    // A plan of part of the tree would mislead: only a walk that went through gets one, and one
    // that could not read every folder says so.
    if (planWanted && outcome.end == RunEnd::Completed) {
        const std::string planProblem =
            emitPlan(outcome.totals.tally, planVolume, outcome.problems.unreadable.size(),
                     arguments.plan, planTable.get(), out);
        if (!planProblem.empty())
            return fail(err, *arguments.planTable + " : " + planProblem, escapeErr);
    }
    out.flush();
    // A Ctrl+C that lands once the walk is over stops nothing: the totals stand.
    if (outcome.end == RunEnd::Cancelled) return cancelledStatus(printer, services);
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
