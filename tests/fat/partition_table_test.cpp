// Partition tables and image containers built in memory.
#include <gtest/gtest.h>

#include "fat/container.h"
#include "fat/memory_volume.h"
#include "fat/partition_table.h"

namespace kesp::fat {
namespace {

using test::put32;

void mbrEntry(std::vector<std::uint8_t>& disk, std::uint64_t sector, int slot, std::uint8_t type,
              std::uint32_t start, std::uint32_t count) {
    const std::size_t at = sector * 512 + 446 + 16 * slot;
    disk[at + 4] = type;
    put32(disk, at + 8, start);
    put32(disk, at + 12, count);
    disk[sector * 512 + 510] = 0x55;
    disk[sector * 512 + 511] = 0xAA;
}

std::string summary(const PartitionTable& table) {
    std::string text;
    for (const auto& p : table.partitions)
        text += std::to_string(p.number) + ":" + std::to_string(p.offset / 512) + "+" +
                std::to_string(p.size / 512) + ":" + p.type + " ";
    return text;
}

TEST(PartitionTable, MbrWithLogicalPartitionsInAnExtendedOne) {
    std::vector<std::uint8_t> disk(4096 * 512, 0);
    mbrEntry(disk, 0, 0, 0x06, 2048, 1000);
    mbrEntry(disk, 0, 1, 0x0F, 3072, 1000); // extended: 3072 to 4071
    // First EBR: a logical at 3072+64, then a link to the next EBR at 3072+512.
    mbrEntry(disk, 3072, 0, 0x0C, 64, 300);
    mbrEntry(disk, 3072, 1, 0x05, 512, 400);
    mbrEntry(disk, 3584, 0, 0x07, 32, 200);
    BufferReader reader(disk);
    EXPECT_EQ(summary(readPartitions(reader)),
              "1:2048+1000:06 2:3072+1000:0f 5:3136+300:0c 6:3616+200:07 ");
    EXPECT_EQ(readPartitions(reader).problem, "");

    // A chain that comes back (to the same EBR, or to an earlier one): each logical partition
    // once, and the loop said.
    const std::string loop = "table de partitions étendue en boucle : chaque partition logique "
                             "n'est listée qu'une fois";
    mbrEntry(disk, 3584, 1, 0x05, 512, 400); // 3584 links to itself
    PartitionTable table = readPartitions(reader);
    EXPECT_EQ(summary(table), "1:2048+1000:06 2:3072+1000:0f 5:3136+300:0c 6:3616+200:07 ");
    EXPECT_EQ(table.problem, loop);

    mbrEntry(disk, 3584, 1, 0x05, 768, 200); // 3584 to 3840
    mbrEntry(disk, 3840, 0, 0x0B, 16, 100);
    mbrEntry(disk, 3840, 1, 0x05, 512, 400); // 3840 back to 3584
    table = readPartitions(reader);
    EXPECT_EQ(summary(table),
              "1:2048+1000:06 2:3072+1000:0f 5:3136+300:0c 6:3616+200:07 7:3856+100:0b ");
    EXPECT_EQ(table.problem, loop);
}

TEST(PartitionTable, NothingToListSaysWhy) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> disk;
        const char* problem;
    };
    std::vector<std::uint8_t> protective(64 * 512, 0);
    mbrEntry(protective, 0, 0, 0xEE, 1, 63);
    std::vector<std::uint8_t> emptyGpt = protective;
    std::memcpy(&emptyGpt[512], "EFI PART", 8);
    put32(emptyGpt, 512 + 72, 2);
    put32(emptyGpt, 512 + 80, 128);
    put32(emptyGpt, 512 + 84, 128);
    std::vector<std::uint8_t> emptyMbr(64 * 512, 0);
    emptyMbr[510] = 0x55;
    emptyMbr[511] = 0xAA;
    for (const auto& c : {
             Case{"an empty file", {}, "image vide"},
             Case{"a file shorter than a sector", std::vector<std::uint8_t>(100, 0),
                  "image trop courte pour une table de partitions ou un volume (100 octets)"},
             Case{"a protective MBR without GPT", protective,
                  "MBR protecteur sans table GPT derrière lui"},
             Case{"a GPT without partitions", emptyGpt, "table GPT sans partition"},
             Case{"an MBR without partitions", emptyMbr, "table MBR sans partition"},
         }) {
        SCOPED_TRACE(c.what);
        BufferReader reader(c.disk);
        const PartitionTable table = readPartitions(reader);
        EXPECT_TRUE(table.partitions.empty());
        EXPECT_EQ(table.problem, c.problem);
    }
}

TEST(PartitionTable, GptNamesKnownTypes) {
    std::vector<std::uint8_t> disk(200 * 512, 0);
    mbrEntry(disk, 0, 0, 0xEE, 1, 199);
    std::memcpy(&disk[512], "EFI PART", 8);
    put32(disk, 512 + 72, 2);   // entries at LBA 2
    put32(disk, 512 + 80, 128); // 128 entries
    put32(disk, 512 + 84, 128); // of 128 bytes
    const std::uint8_t basicData[16] = {0xA2, 0xA0, 0xD0, 0xEB, 0xE5, 0xB9, 0x33, 0x44,
                                        0x87, 0xC0, 0x68, 0xB6, 0xB7, 0x26, 0x99, 0xC7};
    const std::uint8_t other[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    std::memcpy(&disk[1024], basicData, 16);
    put32(disk, 1024 + 32, 40);
    put32(disk, 1024 + 40, 99);
    std::memcpy(&disk[1024 + 2 * 128], other, 16); // the third slot; the second is empty
    put32(disk, 1024 + 2 * 128 + 32, 100);
    put32(disk, 1024 + 2 * 128 + 40, 150);
    BufferReader reader(disk);
    EXPECT_EQ(summary(readPartitions(reader)),
              "1:40+60:Microsoft basic data 3:100+51:04030201-0605-0807-090A-0B0C0D0E0F10 ");
}

TEST(PartitionTable, AVolumeWithoutTableIsNumberZero) {
    test::MemoryVolume v{test::Layout{}};
    BufferReader reader(v.bytes);
    const auto partitions = readPartitions(reader).partitions;
    ASSERT_EQ(partitions.size(), 1u);
    EXPECT_EQ(partitions[0].number, 0);
    EXPECT_EQ(partitions[0].size, v.bytes.size());
    EXPECT_EQ(fileSystemOf(reader), "FAT");

    // Other boot sectors end with 55 AA too, and may hold zeros where a table would be.
    std::vector<std::uint8_t> exfat(4096, 0);
    std::memcpy(&exfat[3], "EXFAT   ", 8);
    exfat[510] = 0x55;
    exfat[511] = 0xAA;
    BufferReader exfatReader(exfat);
    EXPECT_EQ(summary(readPartitions(exfatReader)), "0:0+8: ");
    EXPECT_EQ(fileSystemOf(exfatReader), "exFAT");
}

TEST(ImageContainer, FixedVhdIsRawAndOthersAreRefusedByName) {
    struct Case {
        const char* what;
        const char* head;
        std::size_t headAt;
        std::uint32_t footerType; // 0: no footer
        const char* refusal;      // empty: raw
    };
    for (const auto& c : {
             Case{"raw", "", 0, 0, ""},
             Case{"fixed VHD", "", 0, 2, ""},
             Case{"dynamic VHD", "conectix", 0, 3, "VHD dynamique"},
             Case{"qcow2", "QFI\xFB", 0, 0, "qcow2"},
             Case{"VMDK", "KDMV", 0, 0, "VMDK"},
             Case{"VHDX", "vhdxfile", 0, 0, "VHDX"},
             Case{"VDI", "\x7F\x10\xDA\xBE", 0x40, 0, "VDI"},
         }) {
        SCOPED_TRACE(c.what);
        std::vector<std::uint8_t> file(8192, 0);
        std::memcpy(&file[c.headAt], c.head, std::strlen(c.head));
        if (c.footerType) {
            std::memcpy(&file[8192 - 512], "conectix", 8);
            file[8192 - 512 + 63] = std::uint8_t(c.footerType); // big-endian
        }
        BufferReader reader(file);
        const ContainerCheck check = checkContainer(reader);
        if (*c.refusal == 0) {
            EXPECT_EQ(check.refusal, "");
            EXPECT_EQ(check.rawBytes, c.footerType ? 8192u - 512 : 8192u);
        } else {
            EXPECT_NE(check.refusal.find(c.refusal), std::string::npos) << check.refusal;
        }
    }
}

} // namespace
} // namespace kesp::fat
