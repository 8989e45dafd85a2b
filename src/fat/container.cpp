#include "fat/container.h"

#include <array>
#include <cstring>

namespace kesp::fat {
namespace {

std::uint32_t be32(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint32_t(b[at]) << 24 | std::uint32_t(b[at + 1]) << 16 |
           std::uint32_t(b[at + 2]) << 8 | b[at + 3];
}

bool startsWith(std::span<const std::uint8_t> b, const char* magic) {
    const std::size_t n = std::strlen(magic);
    return b.size() >= n && std::memcmp(b.data(), magic, n) == 0;
}

std::string refused(const char* format) {
    return std::string("format d'image non pris en charge : ") + format +
           " (convertir d'abord en image brute)";
}

} // namespace

ContainerCheck checkContainer(ByteReader& file) {
    ContainerCheck check;
    check.rawBytes = file.size();
    std::array<std::uint8_t, 512> head{};
    if (file.size() < head.size() || !file.read(0, head)) return check;

    if (startsWith(head, "QFI\xFB"))
        check.refusal = refused("qcow2");
    else if (startsWith(head, "KDMV") || startsWith(head, "COWD") ||
             startsWith(head, "# Disk DescriptorFile"))
        check.refusal = refused("VMDK");
    else if (startsWith(head, "vhdxfile"))
        check.refusal = refused("VHDX");
    else if (be32(head, 0x40) == 0x7F10DABE || startsWith(head, "<<< Oracle VM VirtualBox"))
        check.refusal = refused("VDI");
    else if (startsWith(head, "conectix"))
        check.refusal = refused("VHD dynamique");
    if (!check.refusal.empty()) return check;

    std::array<std::uint8_t, 512> foot{};
    if (!file.read(file.size() - foot.size(), foot) || !startsWith(foot, "conectix")) return check;
    const std::uint32_t diskType = be32(foot, 60);
    if (diskType == 2)
        check.rawBytes = file.size() - foot.size();
    else
        check.refusal = refused(diskType == 4 ? "VHD différentiel" : "VHD dynamique");
    return check;
}

} // namespace kesp::fat
