// The user's number characters from LC_NUMERIC, and the monotonic tick counter.
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "os/number_chars.h"
#include "os/posix/ticks_posix.h"
#include "scan/masks.h"

namespace kesp {
namespace {

// Sets an environment variable for one test and puts the old value back.
class EnvVar {
public:
    EnvVar(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        had_ = std::getenv(name) != nullptr;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvVar() {
        if (had_)
            setenv(name_, old_.c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

// Allocations made while alive are not reported by LeakSanitizer.
struct LeakCheckOff {
#if defined(__SANITIZE_ADDRESS__)
    LeakCheckOff() {
        __lsan_disable();
    }
    ~LeakCheckOff() {
        __lsan_enable();
    }
#endif
};

TEST(UserNumberChars, CAndPosixGiveCommaAndPoint) {
    for (const char* name : {"C", "POSIX", "no_SUCH.locale"}) {
        EnvVar all("LC_ALL", name);
        const NumberChars chars = userNumberChars();
        EXPECT_EQ(chars.grouping, ",") << name;
        EXPECT_EQ(chars.decimal, ".") << name;
    }
}

TEST(UserNumberChars, FrenchFromAPrivateLocaleFolder) {
    // Compiled into the build tree, so the test changes nothing on the machine.
    const std::string folder = std::string(KESP_BINARY_DIR) + "/test-locales";
    const std::string command = "mkdir -p '" + folder + "' && (test -d '" + folder +
                                "/fr_FR.UTF-8' || localedef -i fr_FR -f UTF-8 '" + folder +
                                "/fr_FR.UTF-8') >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        GTEST_SKIP() << "localedef or the fr_FR source (package locales) is missing";
    // glibc 2.36's newlocale leaks its copy of LOCPATH at every call (not ours to free).
    [[maybe_unused]] LeakCheckOff leaksOfGlibc;
    EnvVar path("LOCPATH", folder.c_str());
    EnvVar all("LC_ALL", nullptr);
    EnvVar numeric("LC_NUMERIC", "fr_FR.UTF-8");
    const NumberChars chars = userNumberChars();
    EXPECT_EQ(chars.decimal, ",");
    // glibc's French grouping character is U+202F, a narrow no-break space.
    EXPECT_EQ(chars.grouping, "\xE2\x80\xAF");
    EXPECT_EQ(formatNumber(kMaskCount, 1234567, chars), "1\xE2\x80\xAF"
                                                        "234\xE2\x80\xAF"
                                                        "567");
    EXPECT_EQ(formatMegabytes(kMaskMegabytesRun, 3 * 1024 * 1024 / 2, chars), "1,50");
    // LC_ALL wins over LC_NUMERIC.
    EnvVar c("LC_ALL", "C");
    EXPECT_EQ(userNumberChars().decimal, ".");
}

TEST(PosixTicks, FollowsTheMonotonicClockInMilliseconds) {
    PosixTicks ticks;
    timespec before{}, after{};
    clock_gettime(CLOCK_MONOTONIC, &before);
    const std::uint32_t t = ticks.now();
    clock_gettime(CLOCK_MONOTONIC, &after);
    const auto ms = [](const timespec& ts) {
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                                          static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u);
    };
    EXPECT_LE(static_cast<std::uint32_t>(t - ms(before)),
              static_cast<std::uint32_t>(ms(after) - ms(before)));
    timespec pause{0, 20 * 1000 * 1000};
    nanosleep(&pause, nullptr);
    EXPECT_GE(static_cast<std::uint32_t>(ticks.now() - t), 20u);
}

} // namespace
} // namespace kesp
