#include "plan/plan_text.h"

#include <algorithm>
#include <array>

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

// On exFAT rows "Secteurs réservés" are those before the FAT (the boot regions and the
// alignment), "Zone de données" is the cluster heap.
std::array<std::string, kPlanColumns> planRowCells(const PlanRow& row) {
    std::array<std::string, kPlanColumns> cells;
    if (row.exfat) {
        const fat::ExfatLayout& l = *row.exfat;
        cells = {"exFAT",
                 std::to_string(l.clusterBytes),
                 std::to_string(l.clusterCount),
                 std::to_string(l.fatOffset / fat::kSectorBytes),
                 std::to_string(l.fatBytes),
                 std::to_string(l.heapBytes())};
    } else {
        const fat::FormatLayout& l = row.layout;
        cells = {fatName(l.bits),
                 std::to_string(l.clusterBytes()),
                 std::to_string(l.clusterCount),
                 std::to_string(l.reservedSectors),
                 std::to_string(l.fatBytes()),
                 std::to_string(l.dataBytes())};
    }
    cells[6] = std::to_string(row.occupiedBytes);
    cells[7] = std::to_string(row.lostBytes);
    cells[8] = std::to_string(row.freeBytes);
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

// Characters, not bytes, so that accented heads line up.
std::size_t displayWidth(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

} // namespace

std::string fatName(fat::FatBits bits) {
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

std::string recommendationLine(const FormatPlan& plan) {
    if (!plan.recommended)
        return "Recommandation : aucune — aucune disposition que tous les pilotes lisent, en "
               "clusters de 32 Ko au plus, ne contient ces fichiers sur ce volume.";
    const PlanRow& row = plan.rows[*plan.recommended];
    std::string line = "Recommandation : " + fatName(row.layout.bits) + ", " +
                       std::to_string(row.layout.clusterBytes()) +
                       " octets par cluster — de toutes les dispositions que tous les pilotes "
                       "lisent, en clusters de 32 Ko au plus, c'est celle qui laisse le plus "
                       "d'espace libre après la copie de ces fichiers (" +
                       std::to_string(row.freeBytes) + " octets).";
    if (plan.better64k) {
        const PlanRow& big = plan.rows[*plan.better64k];
        line += " Des clusters de 64 Ko (" + fatName(big.layout.bits) + ") laisseraient " +
                std::to_string(big.freeBytes - row.freeBytes) +
                " octets de plus, mais cela exige Windows NT ou plus récent.";
    }
    return line;
}

std::string exfatRecommendationLine(const FormatPlan& plan) {
    const std::string head = "Pour un appareil qui lit l'exFAT : ";
    if (!plan.recommendedExfat)
        return head + "aucune disposition exFAT ne contient ces fichiers sur ce volume.";
    const PlanRow& row = plan.rows[*plan.recommendedExfat];
    return head + "exFAT, " + std::to_string(row.clusterBytes()) + " octets par cluster" +
           (row.sdLayout ? " dans la disposition SD" : "") +
           " — de toutes les dispositions exFAT, c'est celle qui laisse le plus d'espace libre "
           "après la copie de ces fichiers (" +
           std::to_string(row.freeBytes) + " octets).";
}

std::string minimalSizeLine(const MinimalSize& minimal) {
    std::string line = "Taille minimale " + fatName(minimal.bits) + " : ";
    if (minimal.volumeBytes == 0) return line + "aucune";
    return line + std::to_string(minimal.volumeBytes) + " octets (clusters de " +
           std::to_string(minimal.clusterBytes) + " octets)";
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
    std::vector<std::array<std::string, kPlanColumns>> table;
    table.push_back(kColumns);
    for (const PlanRow& row : plan.rows)
        table.push_back(planRowCells(row));
    std::array<std::size_t, kPlanColumns> width{};
    for (const auto& cells : table)
        for (std::size_t c = 0; c < cells.size(); ++c)
            width[c] = std::max(width[c], displayWidth(cells[c]));

    std::vector<std::string> lines{"Plan de formatage pour un volume de " +
                                   std::to_string(plan.volumeBytes) + " octets"};
    for (const auto& cells : table) {
        std::string line;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            // Text columns to the left, numbers to the right.
            const bool text = c == 0 || c >= 9 || &cells == &table.front();
            const std::string pad(width[c] - displayWidth(cells[c]), ' ');
            if (c > 0) line += "  ";
            line += text ? cells[c] + pad : pad + cells[c];
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        lines.push_back(line);
    }
    lines.push_back(recommendationLine(plan));
    lines.push_back(exfatRecommendationLine(plan));
    for (const MinimalSize& minimal : plan.minimal)
        lines.push_back(minimalSizeLine(minimal));
    return lines;
}

} // namespace kesp::plan
