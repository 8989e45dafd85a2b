#include "plan/plan_text.h"

#include <algorithm>
#include <array>

#include "scan/masks.h"

namespace kesp::plan {
namespace {

const std::array<std::string, kPlanColumns> kColumns = {"Système",
                                                        "Taille d'un cluster",
                                                        "Clusters",
                                                        "Secteurs réservés",
                                                        "Taille d'une FAT",
                                                        "Zone de données",
                                                        "Occupé",
                                                        "Espace perdu",
                                                        "Libre",
                                                        "Validité",
                                                        "Choix par défaut"};

} // namespace

std::string Figures::operator()(std::uint64_t value) const {
    return grouping ? formatNumber(kMaskCount, value, *grouping) : std::to_string(value);
}

bool figureColumn(std::size_t column) {
    return column > 0 && column < 9;
}

// On exFAT rows "Secteurs réservés" are those before the FAT (the boot regions and the
// alignment), "Zone de données" is the cluster heap.
std::array<std::string, kPlanColumns> planRowCells(const PlanRow& row, const Figures& figures) {
    std::array<std::string, kPlanColumns> cells;
    if (row.exfat) {
        const fat::ExfatLayout& l = *row.exfat;
        cells = {"exFAT",
                 figures(l.clusterBytes),
                 figures(l.clusterCount),
                 figures(l.fatOffset / fat::kSectorBytes),
                 figures(l.fatBytes),
                 figures(l.heapBytes())};
    } else {
        const fat::FormatLayout& l = row.layout;
        cells = {fatName(l.bits),         figures(l.clusterBytes()),
                 figures(l.clusterCount), figures(l.reservedSectors),
                 figures(l.fatBytes()),   figures(l.dataBytes())};
    }
    cells[6] = figures(row.occupiedBytes);
    cells[7] = figures(row.lostBytes);
    cells[8] = figures(row.freeBytes);
    cells[9] = validityText(row.validity);
    cells[10] = defaultsText(row.defaults, row.exfat.has_value());
    return cells;
}

const std::array<std::string, kPlanColumns>& planColumnHeads() {
    return kColumns;
}

namespace {

std::string joinTabs(const std::array<std::string, kPlanColumns>& cells) {
    std::string line;
    for (const std::string& cell : cells) {
        if (&cell != &cells[0]) line += '\t';
        line += cell;
    }
    return line;
}

} // namespace

std::size_t textWidth(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string fatName(fat::FatType bits) {
    return "FAT" + std::to_string(static_cast<int>(bits));
}

std::string systemName(const PlanRow& row) {
    return row.exfat ? "exFAT" : fatName(row.layout.bits);
}

std::string validityText(Validity validity) {
    switch (validity) {
    case Validity::Everywhere:
        return "oui";
    case Validity::DependsOnDriver:
        return "selon le pilote";
    case Validity::DependsOnDevice:
        return "selon l'appareil";
    case Validity::TooSmall:
        return "trop petit";
    }
    return {};
}

std::string defaultsText(const Defaults& defaults, bool exfat) {
    std::string text;
    const auto add = [&](bool on, const char* name) {
        if (!on) return;
        if (!text.empty()) text += ", ";
        text += name;
    };
    add(defaults.mkfs, exfat ? "mkfs.exfat" : "mkfs.fat");
    add(defaults.windows, "Windows");
    add(defaults.sd, "SD");
    return text;
}

std::string recommendationLine(const FormatPlan& plan, const Figures& figures) {
    if (!plan.recommended)
        return "Recommandation : aucune — aucune disposition que tous les pilotes lisent, en "
               "clusters de 32 Ko au plus, ne contient ces fichiers sur ce volume.";
    const PlanRow& row = plan.rows[*plan.recommended];
    std::string line = "Recommandation : " + fatName(row.layout.bits) + ", " +
                       figures(row.layout.clusterBytes()) +
                       " octets par cluster — de toutes les dispositions que tous les pilotes "
                       "lisent, en clusters de 32 Ko au plus, c'est celle qui laisse le plus "
                       "d'espace libre après la copie de ces fichiers (" +
                       figures(row.freeBytes) + " octets).";
    if (plan.better64k) {
        const PlanRow& big = plan.rows[*plan.better64k];
        line += " Des clusters de 64 Ko (" + fatName(big.layout.bits) + ") laisseraient " +
                figures(big.freeBytes - row.freeBytes) +
                " octets de plus, mais cela exige Windows NT ou plus récent.";
    }
    return line;
}

std::string exfatRecommendationLine(const FormatPlan& plan, const Figures& figures) {
    const std::string head = "Pour un appareil qui lit l'exFAT : ";
    if (!plan.recommendedExfat)
        return head + "aucune disposition exFAT ne contient ces fichiers sur ce volume.";
    const PlanRow& row = plan.rows[*plan.recommendedExfat];
    return head + "exFAT, " + figures(row.clusterBytes()) + " octets par cluster" +
           (row.sdLayout ? " dans la disposition SD" : "") +
           " — de toutes les dispositions exFAT, c'est celle qui laisse le plus d'espace libre "
           "après la copie de ces fichiers (" +
           figures(row.freeBytes) + " octets).";
}

std::string minimalSizeLine(const MinimalSize& minimal, const Figures& figures) {
    std::string line = "Taille minimale " + fatName(minimal.bits) + " : ";
    if (minimal.volumeBytes == 0) return line + "aucune";
    return line + figures(minimal.volumeBytes) + " octets (clusters de " +
           figures(minimal.clusterBytes) + " octets)";
}

std::string partialPlanLine(std::uint64_t unreadableFolders) {
    if (unreadableFolders == 0) return {};
    return "Plan partiel : " + std::to_string(unreadableFolders) +
           " dossier(s) illisible(s) n'y sont pas comptés.";
}

std::string lostSpaceNote() {
    return "« Espace perdu » compte ici la fin inutilisée du dernier cluster de chaque fichier et "
           "de chaque dossier, les entrées d'un dossier étant de l'espace utile ; l'analyse et "
           "l'optimisation comptent perdus les clusters entiers des sous-dossiers (un par "
           "sous-dossier en FAT), d'où leur chiffre un peu plus élevé.";
}

std::vector<std::string> alignedColumns(const std::vector<std::vector<std::string>>& rows,
                                        const std::vector<bool>& right, std::size_t heads) {
    std::vector<std::size_t> width;
    for (const auto& cells : rows) {
        if (width.size() < cells.size()) width.resize(cells.size());
        for (std::size_t c = 0; c < cells.size(); ++c)
            width[c] = std::max(width[c], textWidth(cells[c]));
    }
    std::vector<std::string> lines;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto& cells = rows[r];
        std::string line;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const std::string pad(width[c] - textWidth(cells[c]), ' ');
            if (c > 0) line += "  ";
            line += r >= heads && c < right.size() && right[c] ? pad + cells[c] : cells[c] + pad;
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> planTableLines(const FormatPlan& plan) {
    std::vector<std::string> lines{joinTabs(kColumns)};
    for (const PlanRow& row : plan.rows)
        lines.push_back(joinTabs(planRowCells(row)));
    lines.push_back(recommendationLine(plan));
    lines.push_back(exfatRecommendationLine(plan));
    for (const MinimalSize& minimal : plan.minimal)
        lines.push_back(minimalSizeLine(minimal));
    return lines;
}

std::vector<std::string> planReportLines(const FormatPlan& plan) {
    std::vector<std::vector<std::string>> table{{kColumns.begin(), kColumns.end()}};
    for (const PlanRow& row : plan.rows) {
        const auto cells = planRowCells(row);
        table.emplace_back(cells.begin(), cells.end());
    }
    // Text columns to the left, numbers to the right; the heads all to the left.
    std::vector<bool> right(kPlanColumns);
    for (std::size_t c = 0; c < kPlanColumns; ++c)
        right[c] = figureColumn(c);
    std::vector<std::string> lines{"Plan de formatage pour un volume de " +
                                   std::to_string(plan.volumeBytes) + " octets"};
    const auto body = alignedColumns(table, right, 1);
    lines.insert(lines.end(), body.begin(), body.end());
    lines.push_back(recommendationLine(plan));
    lines.push_back(exfatRecommendationLine(plan));
    for (const MinimalSize& minimal : plan.minimal)
        lines.push_back(minimalSizeLine(minimal));
    return lines;
}

} // namespace kesp::plan
