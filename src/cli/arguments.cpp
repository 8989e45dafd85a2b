#include "cli/arguments.h"

#include <charconv>
#include <limits>

#include "plan/volume_size.h"

namespace kesp {

namespace {

// FAT knows no other cluster sizes; exFAT goes up to 32 MiB.
constexpr std::int32_t kSmallestCluster = 512;
constexpr std::int32_t kLargestCluster = 2 * 1024 * 1024;
constexpr std::int32_t kLargestExfatCluster = 32 * 1024 * 1024;

bool possibleClusterSize(std::int32_t size, std::int32_t largest) {
    return size >= kSmallestCluster && size <= largest && (size & (size - 1)) == 0;
}

// A positive decimal integer that fits a cluster size; nothing else (no sign, no blank).
std::optional<std::int32_t> positiveInteger(const std::string& text) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc{} || ptr != end || value <= 0 ||
        value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace

std::string parseScanArguments(const std::vector<std::string>& args, ScanArguments& out) {
    std::vector<std::string> positional;
    std::string clusterText; // as given, for the message that refuses it
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            positional.push_back(arg);
            continue;
        }
        auto value = [&]() -> const std::string* {
            return i + 1 < args.size() ? &args[++i] : nullptr;
        };
        if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            out.help = true;
        } else if (arg == "--no-subfolders") {
            out.subFolders = false;
        } else if (arg == "--volume-info") {
            out.volumeInfo = true;
        } else if (arg == "--partitions") {
            out.partitions = true;
        } else if (arg == "--detail") {
            out.detail = true;
        } else if (arg == "--what-if") {
            out.whatIf = true;
        } else if (arg == "--plan") {
            out.plan = true;
        } else if (arg == "--plan-table") {
            const std::string* v = value();
            if (!v || v->empty()) return arg + " attend un nom de fichier";
            out.planTable = *v;
        } else if (arg == "--volume-size") {
            const std::string* v = value();
            std::uint64_t bytes = 0;
            const char* end = v ? v->data() + v->size() : nullptr;
            if (!v || v->empty() || v->front() < '0' || v->front() > '9' ||
                std::from_chars(v->data(), end, bytes).ptr != end || bytes == 0)
                return "--volume-size attend une taille en octets (entier positif)";
            if (bytes > plan::kLargestVolumeBytes) return plan::tooLargeMessage("--volume-size");
            out.volumeSize = bytes;
        } else if (arg == "--fat32") {
            out.fat32 = true;
        } else if (arg == "--exfat") {
            out.exfat = true;
        } else if (arg == "--cluster-size") {
            const std::string* v = value();
            if (!v) return "--cluster-size attend une taille en octets";
            out.clusterSize = positiveInteger(*v);
            if (!out.clusterSize)
                return "taille de cluster invalide (entier positif attendu) : " + *v;
            clusterText = *v;
        } else if (arg == "--report" || arg == "--table") {
            const std::string* v = value();
            if (!v || v->empty()) return arg + " attend un nom de fichier";
            (arg == "--report" ? out.report : out.table) = *v;
        } else {
            return "option inconnue : " + arg;
        }
    }
    if (out.help) return {};
    if (positional.size() != 1) return kScanUsage;
    out.folder = positional.front();
    if (out.folder.empty()) return "le nom du dossier à analyser est vide";
    // Without --cluster-size the volume itself says FAT or FAT32.
    if (out.volumeSize && !out.plan && !out.planTable)
        return "--volume-size ne s'emploie qu'avec --plan ou --plan-table";
    if (out.fat32 && (!out.clusterSize || !out.whatIf))
        return "--fat32 ne s'emploie qu'avec --cluster-size et --what-if";
    if (out.exfat && !out.clusterSize) return "--exfat ne s'emploie qu'avec --cluster-size";
    if (out.exfat && out.fat32) return "--fat32 et --exfat s'excluent";
    if (out.clusterSize && !out.exfat && !possibleClusterSize(*out.clusterSize, kLargestCluster))
        return "taille de cluster impossible en FAT (puissance de deux de 512 à 2097152 "
               "octets attendue) : " +
               clusterText;
    if (out.clusterSize && out.exfat &&
        !possibleClusterSize(*out.clusterSize, kLargestExfatCluster))
        return "taille de cluster impossible en exFAT (puissance de deux de 512 à 33554432 "
               "octets attendue) : " +
               clusterText;
    return {};
}

} // namespace kesp
