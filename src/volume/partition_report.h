#pragma once
// The partition information report as text.
#include <cstdint>
#include <string>

namespace kesp {

// The serial number in upper-case hexadecimal, no leading zeros, no prefix.
std::string serialText(std::uint32_t serial);

// The sixteen report lines separated by a single CR, no separator after the last; then the
// volume's remark, when it has one, as a seventeenth line.
std::string partitionReportText(const std::string& nomVolume, std::uint32_t numeroSerie,
                                const std::string& typePartition, std::uint32_t drapeaux,
                                std::uint32_t longueurMax, const std::string& remarque = {});

} // namespace kesp
