#include <cstring>

#include "volume/gate.h"

namespace kesp {
namespace {

constexpr std::size_t kBufferSize = 260;

// What a 260-character buffer pre-filled with NULs holds after the query wrote `text` into it,
// cut before its first NUL.
std::string throughBuffer(const std::string& text) {
    std::string buffer(kBufferSize, '\0');
    text.copy(buffer.data(), kBufferSize - 1);
    buffer.resize(std::strlen(buffer.c_str()));
    return buffer;
}

bool blank(const std::string& text) {
    return text.find_first_not_of(' ') == std::string::npos;
}

} // namespace

bool InfosVolume(std::string designation, VolumeService& volumes, std::string& nomVolume,
                 std::uint32_t& numeroSerie, std::string& typePartition, std::uint32_t& drapeaux,
                 std::uint32_t& longueurMax, std::string* remarque) {
    if (blank(designation)) return false;
    const auto root = volumes.rootPath(designation);
    if (!root) return false;
    if (!volumes.probeRoot(*root)) return false;

    nomVolume.assign(kBufferSize, '\0');
    typePartition.assign(kBufferSize, '\0');
    numeroSerie = 0;
    drapeaux = 0;
    longueurMax = 0;

    VolumeInformation info;
    const bool ok = volumes.volumeInformation(*root, info);
    if (ok) {
        nomVolume = throughBuffer(info.name);
        typePartition = throughBuffer(info.fileSystem);
        numeroSerie = info.serial;
        drapeaux = info.flags;
        longueurMax = info.maxComponentLength;
        if (remarque) *remarque = info.remark;
    } else {
        nomVolume.clear();
        typePartition.clear();
    }
    return ok;
}

} // namespace kesp
