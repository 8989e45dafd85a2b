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

std::array<std::string, kPlanColumns> planRowCells(const PlanRow& row) {
    const fat::FormatLayout& l = row.layout;
    return {fatName(l.bits),
            std::to_string(l.clusterBytes()),
            std::to_string(l.clusterCount),
            std::to_string(l.reservedSectors),
            std::to_string(l.fatBytes()),
            std::to_string(l.dataBytes()),
            std::to_string(row.occupiedBytes),
            std::to_string(row.lostBytes),
            std::to_string(row.freeBytes),
            validityText(row.validity),
            defaultsText(row.defaults)};
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

std::string fatName(fat::FatType bits) {
    return "FAT" + std::to_string(static_cast<int>(bits));
}

std::string validityText(Validity validity) {
    switch (validity) {
    case Validity::Everywhere:
        return "oui";
    case Validity::DependsOnDriver:
        return "selon le pilote";
    case Validity::TooSmall:
        return "trop petit";
    }
    return {};
}

std::string defaultsText(const Defaults& defaults) {
    std::string text;
    const auto add = [&](bool on, const char* name) {
        if (!on) return;
        if (!text.empty()) text += ", ";
        text += name;
    };
    add(defaults.mkfs, "mkfs.fat");
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
    for (const MinimalSize& minimal : plan.minimal)
        lines.push_back(minimalSizeLine(minimal));
    return lines;
}

} // namespace kesp::plan
