// The start-up strings, the shutdown clean-up, the open-file registry and the POSIX environment.
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "os/posix/environment.h"
#include "os/temp_cleanup.h"
#include "support/fake_desktop_services.h"
#include "support/memory_output_files.h"
#include "support/posix_files.h"
#include "support/temp_dir.h"
#include "window/open_files.h"
#include "window/program_paths.h"

namespace kesp {
namespace {

TEST(ProgramPaths, TitleAndFolders) {
    EXPECT_EQ(TitreApplication(2, 0, 5), "Kesp 2005 Version 2.0.5");
    EXPECT_EQ(TitreApplication(10, 1, 0), "Kesp 2005 Version 10.1.0");
    EXPECT_EQ(DossierDuProgramme("/usr/bin/kesp"), "/usr/bin");
    EXPECT_EQ(DossierDuProgramme("/kesp"), "/");
    EXPECT_EQ(CheminAideDe("/"), "//kespaide.html");
    EXPECT_EQ(CheminResultat1("/tmp"), "/tmp/~qkres1.tmp");
    EXPECT_EQ(CheminResultat2("/tmp/"), "/tmp//~qkres2.tmp");
}

bool privateFolder(const std::string& path) {
    const test::FileFacts facts = test::factsOf(path);
    return facts.folder && facts.owner == test::userId() && (facts.mode & 0777) == 0700;
}

TEST(ProgramPaths, InstalledHelpResolvedFromTheProgramFolder) {
    const struct {
        const char* program;
        const char* data;
        const char* expected;
    } cases[] = {
        {"/usr/bin", "../share/kesp", "/usr/share/kesp/kespaide.html"},
        {"/opt/kesp/bin", "../share/kesp", "/opt/kesp/share/kesp/kespaide.html"},
        {"/bin", "../share/kesp", "/share/kesp/kespaide.html"},
        {"/", "../../share/kesp", "/share/kesp/kespaide.html"},
        {"/usr/bin", "data", "/usr/bin/data/kespaide.html"},
        {"/usr/bin", "..", "/usr/kespaide.html"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheminAideInstallee(c.program, c.data), c.expected) << c.program << " " << c.data;
}

TEST(ProgramPaths, HelpBesideTheProgramFirstThenInstalledThenBeside) {
    const std::string beside = "/usr/bin/kespaide.html";
    const std::string installed = "/usr/share/kesp/kespaide.html";
    const struct {
        bool besideExists;
        bool installedExists;
        std::string expected;
    } cases[] = {
        {true, true, beside},
        {false, true, installed},
        {false, false, beside},
    };
    for (const auto& c : cases) {
        testing::FakeEnvironment env;
        if (!c.besideExists) env.missing.insert(beside);
        if (!c.installedExists) env.missing.insert(installed);
        EXPECT_EQ(CheminAide("/usr/bin", "../share/kesp", env), c.expected);
    }
}

TEST(ProgramPaths, TemporaryFolderIsTempAsItIsElseAPrivateOne) {
    test::TempDir dir;
    testing::FakeEnvironment env;
    env.variables["TMPDIR"] = dir.path();
    const std::string own = dir / ("kesp-" + std::to_string(test::userId()));
    EXPECT_EQ(DossierTemporaire(env), own);
    EXPECT_TRUE(privateFolder(own));
    EXPECT_EQ(DossierTemporaire(env), own) << "reused on the next start";

    const std::string runtime = dir.folder("runtime");
    std::filesystem::permissions(runtime, std::filesystem::perms(0700));
    env.variables["XDG_RUNTIME_DIR"] = runtime;
    EXPECT_EQ(DossierTemporaire(env), runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms(0755));
    EXPECT_EQ(DossierTemporaire(env), own) << "a runtime folder others can enter is not used";

    env.variables["temp"] = "";
    EXPECT_EQ(DossierTemporaire(env), own) << "empty counts as unset";
    env.variables["temp"] = "/a";
    EXPECT_EQ(DossierTemporaire(env), "/a") << "the user's choice, as it is";
    env.variables["TEMP"] = "/upper";
    EXPECT_EQ(DossierTemporaire(env), "/a") << "the name is looked up as written";
}

// Whatever stands under the private folder's name that is not one, a fresh private folder
// beside it is used instead.
TEST(ProgramPaths, APrivateFolderNameTakenBeforehandIsNeverUsed) {
    test::TempDir dir;
    testing::FakeEnvironment env;
    env.variables["TMPDIR"] = dir.path();
    const std::string own = dir / ("kesp-" + std::to_string(test::userId()));
    const std::string elsewhere = dir.folder("elsewhere");
    std::filesystem::permissions(elsewhere, std::filesystem::perms(0700));
    const std::vector<std::function<void()>> plants = {
        [&] { std::filesystem::create_symlink(elsewhere, own); },
        [&] { dir.file(std::filesystem::path(own).filename().string(), 1); },
        [&] {
            std::filesystem::create_directory(own);
            std::filesystem::permissions(own, std::filesystem::perms(0777));
        },
        [&] {
            std::filesystem::create_directory(own);
            std::filesystem::permissions(own, std::filesystem::perms(0700));
            if (!test::giveTo(own, 65534, 65534))
                std::filesystem::permissions(own, std::filesystem::perms(0750));
        },
    };
    for (std::size_t i = 0; i < plants.size(); ++i) {
        std::filesystem::remove_all(own);
        plants[i]();
        const std::string chosen = DossierTemporaire(env);
        EXPECT_EQ(chosen.rfind(own + "-", 0), 0u) << "plant " << i << ": " << chosen;
        EXPECT_TRUE(privateFolder(chosen)) << "plant " << i;
    }
}

TEST(TempCleanup, MatchesThePatternAndSparesLinksFoldersAndOthers) {
    test::TempDir dir;
    dir.file("~qkres1.tmp", 1);
    dir.file("~qkres2.tmp", 1);
    dir.file("~qk.tmp", 1);
    dir.file("~qkres1.tmp.bak", 1);
    dir.file("~QKRES1.TMP", 1);
    dir.file("x~qk1.tmp", 1);
    dir.folder("~qkfolder.tmp");
    const std::string target = dir.file("target", 5);
    std::filesystem::create_symlink(target, dir / "~qklink.tmp");
    std::filesystem::create_symlink(dir / "gone", dir / "~qkdangling.tmp");

    EXPECT_EQ(SupprimerFichiersTemporaires(dir.path()), 3);
    for (const char* name : {"~qkres1.tmp.bak", "~QKRES1.TMP", "x~qk1.tmp", "~qkfolder.tmp",
                             "~qklink.tmp", "~qkdangling.tmp", "target"}) {
        EXPECT_TRUE(test::factsOf(dir / name).exists) << name;
    }
    EXPECT_EQ(SupprimerFichiersTemporaires(dir.path()), 0);
    EXPECT_EQ(SupprimerFichiersTemporaires(dir / "missing"), 0) << "errors are ignored";
}

TEST(OpenFileRegistry, ClosesWhatARunStillHoldsAndLaterWritesFail) {
    test::MemoryOutputFiles memory;
    OpenFileRegistry registry(memory);
    std::string error;
    auto report = registry.create("/t/1", error);
    auto table = registry.create("/t/2", error);
    ASSERT_TRUE(report && table);
    EXPECT_EQ(registry.openCount(), 2u);
    EXPECT_TRUE(report->writeLine("H"));
    registry.closeAll();
    EXPECT_EQ(registry.openCount(), 0u);
    EXPECT_TRUE(memory.closed["/t/1"]);
    EXPECT_TRUE(memory.closed["/t/2"]);
    EXPECT_FALSE(report->writeLine("after"));
    EXPECT_FALSE(report->error().empty());
    EXPECT_TRUE(report->close()) << "the owner's close reports the first one";
    EXPECT_FALSE(report->commit()) << "a file cut short never takes its name";
    EXPECT_FALSE(memory.committed["/t/1"]);
    EXPECT_EQ(memory.lines["/t/1"], std::vector<std::string>{"H"});

    memory.refuseCreate.insert("/t/3");
    EXPECT_EQ(registry.create("/t/3", error), nullptr);
    EXPECT_EQ(error, "Permission denied");
    EXPECT_EQ(registry.openCount(), 0u);

    auto closedByOwner = registry.create("/t/4", error);
    closedByOwner->close();
    EXPECT_EQ(registry.openCount(), 0u);
    memory.failClose.insert("/t/5");
    auto failing = registry.create("/t/5", error);
    registry.closeAll();
    EXPECT_FALSE(failing->close()) << "a failed close stays reported";
}

TEST(PosixEnvironment, VariablesProgramFileAndDates) {
    PosixEnvironment env;
    setenv("KESP_TEST_VARIABLE", "", 1);
    EXPECT_EQ(env.variable("KESP_TEST_VARIABLE"), std::optional<std::string>(""));
    unsetenv("KESP_TEST_VARIABLE");
    EXPECT_EQ(env.variable("KESP_TEST_VARIABLE"), std::nullopt);

    const std::string program = env.programFile();
    EXPECT_EQ(program, std::filesystem::canonical("/proc/self/exe").string());

    test::TempDir dir;
    const std::string file = dir.file("dated", 1);
    const timespec times[2] = {{1136214245, 0}, {1136214245, 0}}; // 2006-01-02 15:04:05 UTC
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    setenv("TZ", "UTC", 1);
    tzset();
    std::tm local{};
    ASSERT_TRUE(env.lastModified(file, local));
    EXPECT_EQ(local.tm_year, 106);
    EXPECT_EQ(local.tm_mon, 0);
    EXPECT_EQ(local.tm_mday, 2);
    EXPECT_EQ(local.tm_hour, 15);
    EXPECT_FALSE(env.lastModified(dir / "missing", local));
}

} // namespace
} // namespace kesp
