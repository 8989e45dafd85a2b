// The volume size as typed in the plan window, in the C locale and in French: what is read, and
// the French reason for what is not.
#include "plan/volume_size.h"

#include <gtest/gtest.h>

namespace kesp::plan {
namespace {

constexpr std::uint64_t Ki = 1024, Mi = Ki << 10, Gi = Mi << 10, Ti = Gi << 10;
const NumberChars kC{};
const NumberChars kFrench{"\xE2\x80\xAF", ","}; // narrow no-break space, comma

TEST(VolumeSize, ReadsNumbersAndUnitsAsUsersTypeThem) {
    const struct {
        const char* text;
        const NumberChars& chars;
        std::uint64_t bytes;
    } cases[] = {
        {"1073741824", kC, Gi},
        {"1,073,741,824", kC, Gi}, // the C locale's grouping, as the field shows it
        {"1\xE2\x80\xAF"
         "073\xE2\x80\xAF"
         "741\xE2\x80\xAF"
         "824 octets",
         kFrench, Gi},
        {"1 073 741 824", kFrench, Gi},
        {"1\xC2\xA0"
         "073 741 824 o",
         kC, Gi}, // a no-break space among plain ones
        {"512 Mo", kC, 512 * Mi},
        {"64 Go", kFrench, 64 * Gi},
        {"64go", kC, 64 * Gi},
        {"1,5 To", kFrench, Ti + Ti / 2},
        {"1,5 To", kC, Ti + Ti / 2}, // "," cannot group "5": a decimal mark in any locale
        {"1.5 TiB", kC, Ti + Ti / 2},
        {"64 GiB", kC, 64 * Gi},
        {"64 Gio", kFrench, 64 * Gi},
        {"128G", kC, 128 * Gi},
        {"128 k", kC, 128 * Ki},
        {"64 GB", kC, 64'000'000'000},
        {"2 TB", kFrench, 2'000'000'000'000},
        {"500 kB", kC, 500'000},
        {"1,500 Go", kFrench, Gi + Gi / 2}, // the French decimal mark
        {"1,500 Go", kC, 1500 * Gi},        // the C grouping
        {"1.234,5 Mo", kFrench, 1234 * Mi + Mi / 2},
        {"1,234.5 MB", kC, 1'234'500'000},
        {"0,3 Ko", kFrench, 307}, // 307.2: the fraction of a byte is dropped
        {"  64   Mo  ", kC, 64 * Mi},
        {"\t2 G", kC, 2 * Gi},
        {"2199023255040", kC, 2199023255040},
        {"2 To", kC, 2 * Ti}, // past FAT's layouts, still exFAT's
        {"281474976710656", kC, kLargestVolumeBytes},
        {"256 To", kC, kLargestVolumeBytes},
    };
    for (const auto& c : cases) {
        const VolumeSize size = parseVolumeSize(c.text, c.chars);
        EXPECT_EQ(size.bytes, c.bytes) << c.text;
        EXPECT_EQ(size.error, "") << c.text;
    }
}

TEST(VolumeSize, RefusesTheRestSayingWhyInFrench) {
    const std::string tooLarge =
        "Trop grand : le plan va jusqu'à 281,474,976,710,656 octets (256 Tio).";
    const struct {
        const char* text;
        std::string error;
    } cases[] = {
        {"", "Indiquez la taille du volume, par exemple 64 Go."},
        {"   ", "Indiquez la taille du volume, par exemple 64 Go."},
        {"-5", "Une taille ne peut pas être négative."},
        {"- 5 Go", "Une taille ne peut pas être négative."},
        {"abc", "« abc » n'est pas une taille : tapez un nombre suivi d'une unité, "
                "par exemple 512 Mo."},
        {"Go", "« Go » n'est pas une taille : tapez un nombre suivi d'une unité, "
               "par exemple 512 Mo."},
        {"4 Gb/s", "Unité inconnue : « Gb/s » (o, Ko, Mo, Go, To, KiB… ou kB, MB, GB, TB)."},
        {"4 Po", "Unité inconnue : « Po » (o, Ko, Mo, Go, To, KiB… ou kB, MB, GB, TB)."},
        {"12 34", "Nombre illisible : « 12 34 »."},
        {"1,2,3", "Nombre illisible : « 1,2,3 »."},
        {"1.5.6 Go", "Nombre illisible : « 1.5.6 »."},
        {"1,5 o", "Un nombre d'octets est entier : « 1,5 »."},
        {"0", "La taille doit être plus grande que zéro."},
        {"0,0000001 o", "Un nombre d'octets est entier : « 0,0000001 »."},
        {"0,0000000001 Ko", "La taille doit être plus grande que zéro."},
        {"281474976710657", tooLarge},
        {"257 To", tooLarge},
        {"282 TB", tooLarge},
        {"99999999999999999999", tooLarge},
        {"123456789012345678901234567890123 Go", tooLarge},
    };
    for (const auto& c : cases) {
        const VolumeSize size = parseVolumeSize(c.text, kC);
        EXPECT_EQ(size.bytes, 0u) << c.text;
        EXPECT_EQ(size.error, c.error) << c.text;
    }
}

} // namespace
} // namespace kesp::plan
