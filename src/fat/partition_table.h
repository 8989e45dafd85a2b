#pragma once
// The volumes of a disk or image: MBR (with extended and logical partitions), GPT, or no table at
// all (the whole disk is one volume, numbered 0).
#include <cstdint>
#include <string>
#include <vector>

#include "fat/byte_reader.h"

namespace kesp::fat {

struct Partition {
    int number = 0;           // as the table numbers it, from 1 (logical ones from 5); 0: no table
    std::uint64_t offset = 0; // first byte
    std::uint64_t size = 0;   // bytes
    std::string type;         // MBR: the type byte, two hex digits; GPT: a name, else the GUID
};

struct PartitionTable {
    std::vector<Partition> partitions; // in table order
    // French. With partitions: what is wrong with a table that was read anyway (an extended
    // chain that loops); without: why none could be listed. Empty for a sound table.
    std::string problem;
};

PartitionTable readPartitions(ByteReader& disk);

// The file system a partition begins with: "FAT", "FAT32", "NTFS", "exFAT", or empty.
std::string fileSystemOf(ByteReader& volume);

// The text form of a GUID as stored on disk (mixed endian), upper-case.
std::string guidText(std::span<const std::uint8_t> bytes16);

} // namespace kesp::fat
