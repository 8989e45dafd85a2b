#include "support/fat_image.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

namespace kesp::test {
namespace fs = std::filesystem;
namespace {

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin:/usr/sbin:/sbin");
    std::string dir;
    while (std::getline(dirs, dir, ':'))
        if (!dir.empty() && ::access((dir + "/" + program).c_str(), X_OK) == 0) return true;
    // mkfs.fat lives in /usr/sbin, which a plain user's PATH may lack.
    return ::access(("/usr/sbin/" + program).c_str(), X_OK) == 0 ||
           ::access(("/sbin/" + program).c_str(), X_OK) == 0;
}

std::string programPath(const std::string& program) {
    for (const std::string dir : {"/usr/sbin/", "/sbin/"})
        if (::access((dir + program).c_str(), X_OK) == 0) return dir + program;
    return program;
}

std::string trim(std::string text) {
    const auto first = text.find_first_not_of(" \t\"");
    const auto last = text.find_last_not_of(" \t\"");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

std::string hostPath(const std::string& folder, const std::string& imagePath) {
    return folder + "/" + imagePath;
}

// A test that crashed never ran its destructors: its folder (named after its process) may still
// hold a mount. Those of processes that are gone are cleaned up here; live ones are left alone,
// they belong to tests running in parallel.
void sweepStaleImages() {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/tmp", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("kesp-fat-", 0) != 0) continue;
        const long pid = std::strtol(name.c_str() + 9, nullptr, 10);
        if (pid <= 0 || ::kill(pid_t(pid), 0) == 0 || errno != ESRCH) continue;
        const std::string point = entry.path().string() + "/mnt";
        std::string output;
        if (isMounted(point)) runProgram({"fusermount", "-u", "-z", point}, output);
        if (!isMounted(point)) fs::remove_all(entry.path(), ec);
    }
}

} // namespace

bool isMounted(const std::string& point) {
    std::ifstream table("/proc/self/mountinfo");
    std::string line;
    while (std::getline(table, line))
        if (line.find(" " + point + " ") != std::string::npos) return true;
    return false;
}

int runProgram(const std::vector<std::string>& argv, std::string& output) {
    char outName[] = "/tmp/kesp-fat-outXXXXXX";
    const int out = ::mkstemp(outName);
    if (out < 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        // A file, not a pipe: fusefat's daemon would hold a pipe open after the mount returns.
        ::dup2(out, 1);
        ::dup2(out, 2);
        const int null = ::open("/dev/null", O_RDONLY);
        if (null >= 0) ::dup2(null, 0);
        ::setenv("MTOOLS_SKIP_CHECK", "1", 1);
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    ::close(out);
    int status = 0;
    const bool waited = pid > 0 && ::waitpid(pid, &status, 0) == pid;
    std::ifstream in(outName, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    output = text.str();
    ::unlink(outName);
    if (!waited || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

std::string fatToolsMissing(bool mount) {
    for (const char* tool : {"mkfs.fat", "fsck.fat", "mcopy", "mmd", "minfo", "mdu"})
        if (!onPath(tool)) return std::string(tool) + " is not installed (dosfstools, mtools)";
    if (!mount) return {};
    if (!onPath("fusefat")) return "fusefat is not installed";
    if (!onPath("fusermount")) return "fusermount is not installed (fuse)";
    if (::access("/dev/fuse", R_OK | W_OK) != 0) return "/dev/fuse is missing or not usable here";
    return {};
}

std::unique_ptr<FatImage> FatImage::create(const FatImageLayout& layout, std::string& error) {
    sweepStaleImages();
    std::string name = "/tmp/kesp-fat-" + std::to_string(::getpid()) + "-XXXXXX";
    if (!::mkdtemp(name.data())) {
        error = "mkdtemp failed";
        return nullptr;
    }
    std::unique_ptr<FatImage> image(new FatImage);
    image->folder_ = name;
    image->image_ = image->folder_ + "/fat" + std::to_string(layout.fatBits) + ".img";
    { std::ofstream create(image->image_, std::ios::binary); }
    std::error_code ec;
    fs::resize_file(image->image_, layout.sizeBytes, ec);
    if (ec) {
        error = "cannot size the image: " + ec.message();
        return nullptr;
    }
    std::vector<std::string> argv = {programPath("mkfs.fat"),
                                     "-F",
                                     std::to_string(layout.fatBits),
                                     "-s",
                                     std::to_string(layout.sectorsPerCluster),
                                     "-S",
                                     std::to_string(layout.sectorSize)};
    if (!layout.label.empty()) argv.insert(argv.end(), {"-n", layout.label});
    if (!layout.serial.empty()) argv.insert(argv.end(), {"-i", layout.serial});
    argv.push_back(image->image_);
    std::string output;
    if (runProgram(argv, output) != 0) {
        error = "mkfs.fat failed: " + output;
        return nullptr;
    }
    return image;
}

FatImage::~FatImage() {
    unmount();
    std::error_code ec;
    if (!folder_.empty()) fs::remove_all(folder_, ec);
}

bool FatImage::addFolder(const std::string& path, std::string& error) {
    std::string made;
    std::stringstream parts(path);
    std::string part;
    while (std::getline(parts, part, '/')) {
        if (part.empty()) continue;
        made += (made.empty() ? "" : "/") + part;
        if (std::find(folders_.begin(), folders_.end(), made) != folders_.end()) continue;
        std::string output;
        if (runProgram({"mmd", "-i", image_, "::/" + made}, output) != 0) {
            error = "mmd failed: " + output;
            return false;
        }
        folders_.push_back(made);
    }
    return true;
}

bool FatImage::addFile(const std::string& path, std::uint64_t size, std::string& error) {
    const auto slash = path.rfind('/');
    if (slash != std::string::npos && !addFolder(path.substr(0, slash), error)) return false;
    const std::string host = hostPath(folder_, "content" + std::to_string(files_++));
    {
        std::ofstream out(host, std::ios::binary);
        std::string chunk(64 * 1024, 'k');
        for (std::uint64_t left = size; left > 0;) {
            const auto n = std::min<std::uint64_t>(left, chunk.size());
            out.write(chunk.data(), std::streamsize(n));
            left -= n;
        }
        if (!out) {
            error = "cannot write " + host;
            return false;
        }
    }
    std::string output;
    const int rc = runProgram({"mcopy", "-i", image_, host, "::/" + path}, output);
    fs::remove(host);
    if (rc != 0) {
        error = "mcopy failed: " + output;
        return false;
    }
    return true;
}

bool FatImage::mount(std::string& error) {
    if (!mountPoint_.empty()) return true;
    const std::string point = folder_ + "/mnt";
    fs::create_directory(point);
    std::string output;
    const int rc = runProgram(
        {"fusefat", "-o", "ro,fsname=" + image_ + ",subtype=fusefat", image_, point}, output);
    if (rc != 0) {
        error = "fusefat failed (" + std::to_string(rc) + "): " + output;
        return false;
    }
    mountPoint_ = point;
    return true;
}

void FatImage::unmount() {
    if (mountPoint_.empty()) return;
    std::string output;
    if (runProgram({"fusermount", "-u", mountPoint_}, output) != 0)
        runProgram({"fusermount", "-u", "-z", mountPoint_}, output);
    mountPoint_.clear();
}

std::optional<MinfoFacts> FatImage::minfo() const {
    std::string output;
    if (runProgram({"minfo", "-i", image_, "::"}, output) != 0) return std::nullopt;
    MinfoFacts facts;
    std::stringstream lines(output);
    std::string line;
    const auto after = [&](const std::string& key) -> std::optional<std::string> {
        if (line.rfind(key, 0) != 0) return std::nullopt;
        return trim(line.substr(key.size()));
    };
    while (std::getline(lines, line)) {
        if (auto v = after("sector size:")) facts.sectorSize = std::stoul(*v);
        if (auto v = after("cluster size:")) facts.sectorsPerCluster = std::stoul(*v);
        if (auto v = after("serial number:")) facts.serial = std::stoul(*v, nullptr, 16);
        if (auto v = after("disk label=")) facts.label = *v;
        if (auto v = after("disk type=")) facts.diskType = *v;
        if (auto v = after("small size:"); v && facts.totalSectors == 0)
            facts.totalSectors = std::stoull(*v);
        if (auto v = after("big size:"); v && facts.totalSectors == 0)
            facts.totalSectors = std::stoull(*v);
        if (auto v = after("reserved (boot) sectors:")) facts.reservedSectors = std::stoul(*v);
        if (auto v = after("fats:")) facts.fats = std::stoul(*v);
        if (auto v = after("sectors per fat:"); v && std::stoul(*v) != 0)
            facts.sectorsPerFat = std::stoul(*v);
        if (auto v = after("Big fatlen=")) facts.sectorsPerFat = std::stoul(*v);
        if (auto v = after("max available root directory slots:"))
            facts.rootEntries = std::stoul(*v);
    }
    return facts;
}

std::optional<FsckFacts> fsckFacts(const std::string& image, bool salvage) {
    FsckFacts facts;
    std::vector<std::string> argv{programPath("fsck.fat"), "-n"};
    if (salvage) argv.push_back("-f");
    argv.push_back(image);
    // 0: clean; 1: errors found (and, with -n, left alone).
    if (const int rc = runProgram(argv, facts.output); rc != 0 && rc != 1) return std::nullopt;
    std::smatch m;
    static const std::regex reclaimed(
        R"(Reclaimed (\d+) unused clusters? \(\d+ bytes\)(?: in (\d+) chains?)?)");
    static const std::regex summary(R"(Free cluster summary wrong \((\d+) vs\. really (\d+)\))");
    static const std::regex counts(R"(: \d+ files, (\d+)/(\d+) clusters)");
    if (std::regex_search(facts.output, m, reclaimed)) {
        facts.reclaimedClusters = std::stoull(m[1]);
        if (m[2].matched) facts.reclaimedChains = std::stoull(m[2]);
    }
    if (std::regex_search(facts.output, m, summary)) {
        facts.statedFree = std::stoull(m[1]);
        facts.reallyFree = std::stoull(m[2]);
    }
    if (!std::regex_search(facts.output, m, counts)) return std::nullopt;
    facts.usedClusters = std::stoull(m[1]);
    facts.totalClusters = std::stoull(m[2]);
    return facts;
}

std::map<std::string, std::uint64_t> FatImage::clustersByPath() const {
    std::map<std::string, std::uint64_t> clusters;
    std::string output;
    if (runProgram({"mdu", "-a", "-i", image_, "::"}, output) != 0) return clusters;
    std::stringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        const auto blank = line.rfind(' ');
        if (blank == std::string::npos || line.rfind("::", 0) != 0) continue;
        clusters[line.substr(0, blank)] = std::stoull(line.substr(blank + 1));
    }
    return clusters;
}

int fusefatDaemonOf(const std::string& image) {
    for (const auto& proc : std::filesystem::directory_iterator("/proc")) {
        const std::string name = proc.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream in(proc.path() / "cmdline", std::ios::binary);
        std::string cmdline((std::istreambuf_iterator<char>(in)), {});
        if (cmdline.rfind("fusefat", 0) == 0 && cmdline.find(image + '\0') != std::string::npos)
            return std::stoi(name);
    }
    return -1;
}

bool killAndWait(int pid) {
    if (::kill(pid, SIGKILL) != 0) return false;
    for (int i = 0; i < 100 && ::kill(pid, 0) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return ::kill(pid, 0) != 0;
}

} // namespace kesp::test
