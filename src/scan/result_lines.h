#pragma once
// The fixed texts and the line builders of List1, List3, the status panels and the two result
// files. Fixed French texts are UTF-8; names and paths pass through as bytes.
#include <cstdint>
#include <string>
#include <string_view>

#include "os/number_chars.h"

namespace kesp {

inline constexpr std::string_view kCaptionStart = "&Démarrer";
inline constexpr std::string_view kCaptionCancel = "&Annuler";
inline constexpr std::string_view kLinePleaseWait = "Veuillez patienter !";
inline constexpr std::string_view kLineWorking = "traitement en cours...";
inline constexpr std::string_view kLineCancelled = "Demande annulée avant la fin !!";
inline constexpr std::string_view kLineColumns = "Répertoire\tOctets perdus\tTaille utile";
inline constexpr std::string_view kErrorTitle = "Problème ! ...";

// H: the drive text, one blank, the drive size in "###,###", " Mo".
std::string driveHeaderLine(std::string_view driveText, std::uint64_t diskMegabytes,
                            const NumberChars& chars);
std::string listOfLine(std::string_view folder);   // "liste de " + folder
std::string searchOnLine(std::string_view folder); // "Recherche sur " + folder

// Lines 2 to 4 of a folder's block (List1 and the report file).
std::string usefulSizeLine(std::uint64_t bytes);
std::string realSizeLine(std::uint64_t bytes);
std::string folderLossLine(std::int64_t bytes);
// The folder's table line: path, loss and useful size as plain digits, TAB-separated; the
// path's control bytes escaped, so that the row always has three cells.
std::string tableLine(std::string_view path, std::int64_t loss, std::uint64_t useful);
// A per-file detail line of the report.
std::string detailLine(std::string_view name, std::uint64_t lost, std::uint64_t size);

// End-of-run totals, `format` being FormatNombre.
std::string totalUsefulLine(std::uint64_t bytes, std::string_view format, const NumberChars& c);
std::string totalRealLine(std::uint64_t bytes, std::string_view format, const NumberChars& c);
std::string totalLossLine(std::uint64_t bytes, std::string_view format, const NumberChars& c);

// Status panels 1 to 3. `plural` false gives the singular word; the walk always asks plural.
std::string foldersPanel(std::uint64_t count, bool plural, std::string_view format,
                         const NumberChars& chars);
std::string filesPanel(std::uint64_t count, bool plural, std::string_view format,
                       const NumberChars& chars);
// `mask` is "##0.00" during the walk and "##0.##" at the end of a run.
std::string lossPanel(std::uint64_t bytes, std::string_view mask, const NumberChars& chars);

// Messages of a run that cannot write its results.
std::string cannotCreateMessage(std::string_view path, std::string_view reason);
std::string cannotWriteMessage(std::string_view path, std::string_view reason);
std::string badClusterSizeMessage(std::int64_t clusterSize);

// The end of a run whose volume stopped answering, in place of the totals.
std::string volumeLostLine(std::string_view reason);
// After the totals, when folders could not be read: "N dossier(s) illisible(s)".
std::string unreadableFoldersLine(std::uint64_t count);

} // namespace kesp
