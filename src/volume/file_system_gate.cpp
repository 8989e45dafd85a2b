#include "volume/file_system_gate.h"

namespace kesp {

GateDecision fileSystemGate(const std::string& fs) {
    if (fs == "NTFS" || fs == "UDF" || fs == "CDFS")
        return {"Sans intérêt sur une partition de type " + fs, false, false, std::nullopt,
                std::nullopt};
    if (fs == "FAT") return {std::nullopt, true, true, false, false};
    if (fs == "FAT32") return {std::nullopt, true, true, true, false};
    if (fs == "exFAT") return {std::nullopt, true, true, false, true};
    if (fs == "INCDFS") return {std::nullopt, true, false, false, false};
    return {fs + " : type de partition inconnu", false, false, std::nullopt, std::nullopt};
}

} // namespace kesp
