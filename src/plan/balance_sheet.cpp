#include "plan/balance_sheet.h"

#include <algorithm>

namespace kesp::plan {
namespace {

using fat::ChainFinding;
using fat::ChainProblem;

std::string n(std::uint64_t value) {
    return std::to_string(value);
}

// "1 cluster", "2 clusters".
std::string counted(std::uint64_t value, const char* singular, const char* plural) {
    return n(value) + " " + (value > 1 ? plural : singular);
}

std::string clustersText(std::uint64_t value) {
    return counted(value, "cluster", "clusters");
}

std::string chainLine(const ChainFinding& f, std::uint32_t clusterBytes) {
    const std::string& path = f.path;
    switch (f.problem) {
    case ChainProblem::TooLong:
        if (f.clusters == 0)
            return path + " : chaîne plus longue que ses " + n(f.size) +
                   " octets ; la suite était déjà comptée ailleurs";
        return path + " : chaîne de " + clustersText(f.chainClusters + f.clusters) + " pour " +
               n(f.size) + " octets — " + clustersText(f.clusters) + " en trop";
    case ChainProblem::Truncated:
        return path + " : fichier tronqué — " + n(f.size) +
               " octets annoncés, sa chaîne n'en tient que " + n(f.chainClusters * clusterBytes) +
               " (" + clustersText(f.chainClusters) + ")";
    case ChainProblem::Shared:
        return path +
               " : clusters partagés avec un autre fichier ou dossier, à partir du cluster " +
               n(f.cluster);
    case ChainProblem::Loop:
        return path + " : chaîne de clusters en boucle, revenue au cluster " + n(f.cluster) +
               " après " + clustersText(f.chainClusters);
    case ChainProblem::IntoFree:
        return path + " : chaîne interrompue par un cluster libre (" + n(f.cluster) + ")";
    case ChainProblem::IntoBad:
        return path + " : chaîne menant au cluster défectueux " + n(f.cluster);
    case ChainProblem::OutsideVolume:
        return path + " : chaîne menant hors du volume (cluster " + n(f.cluster) + ")";
    case ChainProblem::BadStart:
        return path + " : premier cluster hors du volume (" + n(f.cluster) + ")";
    case ChainProblem::FatUnreadable:
        return path + " : table d'allocation illisible au cluster " + n(f.cluster);
    }
    return path;
}

std::string startsText(const fat::ClusterCensus& census, const char* one, const char* many,
                       const char* first) {
    std::string text;
    if (census.lostStarts.size() < census.lostChains)
        text = std::string(first) + n(census.lostStarts.size()) + " premières : ";
    else
        text = census.lostChains > 1 ? many : one;
    for (std::size_t i = 0; i < census.lostStarts.size(); ++i)
        text += (i ? ", " : "") + n(census.lostStarts[i]);
    return text;
}

std::string lostLine(const fat::ClusterCensus& census, std::uint32_t clusterBytes, bool exfat) {
    const std::string bytes = n(census.lost * clusterBytes);
    if (exfat)
        return "Clusters perdus : " + n(census.lost) + " (" + bytes +
               " octets alloués dans le bitmap sans appartenir à aucun fichier ni dossier), en " +
               counted(census.lostChains, "plage", "plages") + ", " +
               startsText(census, "premier cluster : ", "premier cluster de chacune : ",
                          "premier cluster des ");
    return "Chaînes perdues : " + n(census.lostChains) + " (" + clustersText(census.lost) + ", " +
           bytes + " octets alloués sans appartenir à aucun fichier ni dossier), " +
           startsText(census, "premier cluster : ", "premiers clusters : ", "premier cluster des ");
}

std::vector<std::string> findingLines(const fat::BalanceFacts& facts) {
    std::vector<std::string> lines;
    const fat::ClusterCensus& census = facts.census;
    if (facts.fsInfoFree && *facts.fsInfoFree != census.free)
        lines.push_back("Libre selon FSInfo : " + n(*facts.fsInfoFree) +
                        " clusters — la FAT en compte " + n(census.free));
    const std::uint32_t k = facts.layout.clusterBytes;
    if (census.lost > 0) lines.push_back(lostLine(census, k, facts.layout.exfat));
    if (census.claimedFree > 0)
        lines.push_back(counted(census.claimedFree, "cluster occupé", "clusters occupés") +
                        " par des fichiers ou des dossiers " +
                        (census.claimedFree > 1 ? "sont libres" : "est libre") +
                        " selon le bitmap d'allocation");
    for (const ChainFinding& finding : facts.findings)
        lines.push_back(chainLine(finding, k));
    if (facts.findingsLeftOut > 0)
        lines.push_back("… et " + n(facts.findingsLeftOut) +
                        " autres problèmes de chaînes, non détaillés");
    if (!facts.sharedAllTold)
        lines.push_back("Clusters partagés : au-delà de " + n(facts.sharedClusters) +
                        ", les suivants restent comptés avec le premier fichier ou dossier qui "
                        "les occupe");
    return lines;
}

std::string gapText(std::uint64_t total, std::uint64_t volume, std::uint64_t uncounted) {
    if (total == volume) return {};
    const bool over = total > volume;
    std::string text = "Écart : le total " + std::string(over ? "dépasse" : "n'atteint pas") +
                       " la taille du volume (" + n(volume) + " octets) de " +
                       n(over ? total - volume : volume - total) + " octets — ";
    if (uncounted > 0)
        return text + "l'allocation n'a pu être lue pour " + clustersText(uncounted) +
               ", comptés nulle part";
    return text + "les parties lues dans le secteur de démarrage ne couvrent pas le volume";
}

} // namespace

BalanceSheet makeBalanceSheet(const fat::BalanceFacts& facts) {
    const fat::BalanceLayout& layout = facts.layout;
    const std::uint64_t cluster = layout.clusterBytes;
    const fat::ClaimTally& claims = facts.claims;
    const fat::ClusterCensus& census = facts.census;
    BalanceSheet sheet;
    sheet.fileSystem = layout.fileSystem;
    sheet.clusterBytes = layout.clusterBytes;
    sheet.clusterCount = layout.clusterCount;
    sheet.volumeBytes = layout.volumeBytes;

    const auto bytesRow = [&](BalancePart part, const char* label, std::uint64_t bytes) {
        sheet.rows.push_back({part, label, std::nullopt, bytes});
    };
    const auto clusterRow = [&](BalancePart part, const char* label, std::uint64_t clusters) {
        sheet.rows.push_back({part, label, clusters, clusters * cluster});
    };
    bytesRow(BalancePart::Reserved, "Secteurs réservés", layout.reservedBytes);
    bytesRow(BalancePart::Fats, "FAT", layout.fatBytes);
    if (layout.fixedRootBytes)
        bytesRow(BalancePart::FixedRoot, "Répertoire racine fixe", *layout.fixedRootBytes);
    if (layout.exfat)
        clusterRow(BalancePart::ExfatTables, "Bitmap et table des majuscules",
                   claims.systemClusters);
    clusterRow(BalancePart::Folders, "Dossiers", claims.folderClusters);
    bytesRow(BalancePart::FileData, "Données des fichiers", claims.fileBytes);
    bytesRow(BalancePart::Slack, "Espace perdu", claims.fileClusters * cluster - claims.fileBytes);
    clusterRow(BalancePart::Free, "Libre", census.free);
    clusterRow(BalancePart::Bad, "Défectueux", census.bad);
    clusterRow(BalancePart::Lost, "Perdus", census.lost);
    clusterRow(BalancePart::Shared, "Partagés", facts.sharedClusters);
    const std::uint64_t clustersEnd =
        layout.clustersOffset + std::uint64_t(layout.clusterCount) * cluster;
    bytesRow(BalancePart::BeyondClusters, "Hors clusters",
             layout.volumeBytes > clustersEnd ? layout.volumeBytes - clustersEnd : 0);

    for (const BalanceRow& row : sheet.rows)
        sheet.totalBytes += row.bytes;
    sheet.gap = gapText(sheet.totalBytes, sheet.volumeBytes, census.uncounted);
    sheet.findings = findingLines(facts);
    return sheet;
}

std::vector<std::string> balanceTableLines(const BalanceSheet& sheet) {
    std::vector<std::string> lines{"Poste\tClusters\tOctets"};
    for (const BalanceRow& row : sheet.rows)
        lines.push_back(row.label + "\t" + (row.clusters ? n(*row.clusters) : std::string()) +
                        "\t" + n(row.bytes));
    lines.push_back("Total\t" + n(sheet.clusterCount) + "\t" + n(sheet.totalBytes));
    if (!sheet.gap.empty()) lines.push_back(sheet.gap);
    lines.insert(lines.end(), sheet.findings.begin(), sheet.findings.end());
    return lines;
}

std::vector<std::string> balanceReportLines(const BalanceSheet& sheet, const Figures& figures) {
    std::vector<std::vector<std::string>> cells{{"Poste", "Clusters", "Octets"}};
    for (const BalanceRow& row : sheet.rows)
        cells.push_back(
            {row.label, row.clusters ? figures(*row.clusters) : std::string(), figures(row.bytes)});
    cells.push_back({"Total", figures(sheet.clusterCount), figures(sheet.totalBytes)});

    std::vector<std::string> lines{"Bilan du volume (" + sheet.fileSystem + ", clusters de " +
                                   n(sheet.clusterBytes) + " octets)"};
    const auto table = alignedColumns(cells, {false, true, true}, 1);
    lines.insert(lines.end(), table.begin(), table.end());
    if (!sheet.gap.empty()) lines.push_back(sheet.gap);
    if (sheet.findings.empty()) {
        lines.push_back("Constats : aucun");
    } else {
        lines.push_back("Constats :");
        lines.insert(lines.end(), sheet.findings.begin(), sheet.findings.end());
    }
    return lines;
}

std::string balanceRefusal(const BalanceRun& run) {
    const std::string head = "Bilan du volume impossible : ";
    if (!run.gatherRefusal.empty()) return head + run.gatherRefusal + ".";
    switch (run.walkEnd) {
    case RunEnd::Cancelled:
        return head + "l'analyse a été interrompue avant la fin.";
    case RunEnd::VolumeLost:
        return head + "le volume a cessé de répondre pendant l'analyse.";
    case RunEnd::FilesFailed:
        return head + "l'analyse s'est arrêtée faute de pouvoir écrire ses fichiers de résultats.";
    case RunEnd::Pressed:
    case RunEnd::Refused:
        return head + "aucune analyse n'a eu lieu.";
    case RunEnd::Completed:
        break;
    }
    if (!run.facts) return head + "l'analyse n'a pas parcouru le volume depuis sa racine.";
    if (run.facts->foldersUnread > 0)
        return head + counted(run.facts->foldersUnread, "dossier n'a", "dossiers n'ont") +
               " pas pu être lu" + (run.facts->foldersUnread > 1 ? "s" : "") + " en entier.";
    if (!run.facts->covered) return head + "les sous-répertoires n'ont pas tous été parcourus.";
    return {};
}

} // namespace kesp::plan
