#include "scan/result_lines.h"

#include "scan/masks.h"

namespace kesp {

namespace {

// One allocation per line. Also keeps clear of `"literal" + std::string&&`, on which GCC 12
// warns falsely (-Wrestrict) in optimised builds.
template <typename... Parts> std::string joined(const Parts&... parts) {
    std::string out;
    out.reserve((std::string_view(parts).size() + ...));
    (out.append(parts), ...);
    return out;
}

} // namespace

std::string driveHeaderLine(std::string_view driveText, std::uint64_t diskMegabytes,
                            const NumberChars& chars) {
    return joined(driveText, " ", formatNumber(kMaskDiskSize, diskMegabytes, chars), " Mo");
}

std::string listOfLine(std::string_view folder) {
    return joined("liste de ", folder);
}

std::string searchOnLine(std::string_view folder) {
    return joined("Recherche sur ", folder);
}

std::string usefulSizeLine(std::uint64_t bytes) {
    return joined(" Taille utile     : ", applyCharMask(kMaskSubtotal, std::to_string(bytes)),
                  " octets");
}

std::string realSizeLine(std::uint64_t bytes) {
    return joined(" Taille réelle    : ", applyCharMask(kMaskSubtotal, std::to_string(bytes)),
                  " octets");
}

std::string folderLossLine(std::int64_t bytes) {
    return joined("     Espace perdu : ", applyCharMask(kMaskSubtotal, bytes), " octets");
}

std::string tableLine(std::string_view path, std::int64_t loss, std::uint64_t useful) {
    return joined(path, "\t", std::to_string(loss), "\t", std::to_string(useful));
}

std::string detailLine(std::string_view name, std::uint64_t lost, std::uint64_t size) {
    std::string out = "    ";
    out += applyCharMask(kMaskDetailName, name);
    out += applyCharMask(kMaskDetailNumber, std::to_string(lost));
    out += "                   ";
    out += applyCharMask(kMaskDetailNumber, std::to_string(size));
    return out;
}

std::string totalUsefulLine(std::uint64_t bytes, std::string_view format, const NumberChars& c) {
    return joined(" Taille totale utile  : ", formatNumber(format, bytes, c), " octets");
}

std::string totalRealLine(std::uint64_t bytes, std::string_view format, const NumberChars& c) {
    return joined(" Taille totale réelle : ", formatNumber(format, bytes, c), " octets");
}

std::string totalLossLine(std::uint64_t bytes, std::string_view format, const NumberChars& c) {
    return joined("     Espace perdu     : ", formatNumber(format, bytes, c), " octets");
}

std::string foldersPanel(std::uint64_t count, bool plural, std::string_view format,
                         const NumberChars& chars) {
    return formatNumber(format, count, chars) + (plural ? " répertoires" : " répertoire");
}

std::string filesPanel(std::uint64_t count, bool plural, std::string_view format,
                       const NumberChars& chars) {
    return formatNumber(format, count, chars) + (plural ? " fichiers" : " fichier");
}

std::string lossPanel(std::uint64_t bytes, std::string_view mask, const NumberChars& chars) {
    return formatMegabytes(mask, bytes, chars) + " Mo perdus";
}

std::string cannotCreateMessage(std::string_view path, std::string_view reason) {
    return joined("Impossible de créer le fichier ", path, " : ", reason);
}

std::string cannotWriteMessage(std::string_view path, std::string_view reason) {
    return joined("Impossible d'écrire dans le fichier ", path, " : ", reason);
}

std::string badClusterSizeMessage(std::int64_t clusterSize) {
    return "Taille de cluster inconnue (" + std::to_string(clusterSize) +
           " octets) : l'analyse est impossible.";
}

std::string volumeLostLine(std::string_view reason) {
    return joined("Le volume ne répond plus (", reason, ") : analyse interrompue avant la fin !!");
}

std::string unreadableFoldersLine(std::uint64_t count) {
    return std::to_string(count) + " dossier(s) illisible(s)";
}

} // namespace kesp
