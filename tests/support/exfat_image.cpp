#include "support/exfat_image.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/fat_image.h"

namespace kesp::test {
namespace fs = std::filesystem;
namespace {

// exfatprogs and losetup live in /usr/sbin, which a plain user's PATH may lack.
std::string programPath(const std::string& program) {
    for (const char* dir : {"/usr/sbin/", "/sbin/", "/usr/bin/", "/bin/"})
        if (::access((dir + program).c_str(), X_OK) == 0) return dir + program;
    return {};
}

std::string trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    const auto last = text.find_last_not_of(" \t\r\n");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

int run(const std::vector<std::string>& argv, std::string& output) {
    std::vector<std::string> resolved = argv;
    const std::string path = programPath(argv[0]);
    if (!path.empty()) resolved[0] = path;
    return runProgram(resolved, output);
}

void detachLoopsOf(const std::string& image) {
    std::string output;
    if (run({"losetup", "-j", image}, output) != 0) return;
    std::stringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        const auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        std::string ignored;
        run({"losetup", "-d", line.substr(0, colon)}, ignored);
    }
}

// A test that crashed never ran its destructors: its folder (named after its process) may still
// hold a mount and a loop device. Those of processes that are gone are released here; live ones
// belong to tests running in parallel.
void sweepStaleImages() {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/tmp", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("kesp-exfat-", 0) != 0) continue;
        const long pid = std::strtol(name.c_str() + 11, nullptr, 10);
        if (pid <= 0 || ::kill(pid_t(pid), 0) == 0 || errno != ESRCH) continue;
        const std::string point = entry.path().string() + "/mnt";
        std::string output;
        if (isMounted(point)) run({"umount", "-l", point}, output);
        detachLoopsOf(entry.path().string() + "/ex.img");
        if (!isMounted(point)) fs::remove_all(entry.path(), ec);
    }
}

} // namespace

std::optional<DumpExfatFacts> dumpExfat(const std::string& image) {
    std::string output;
    if (run({"dump.exfat", image}, output) != 0) return std::nullopt;
    DumpExfatFacts facts;
    std::stringstream lines(output);
    std::string line;
    int found = 0;
    while (std::getline(lines, line)) {
        const auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        const std::string key = trim(line.substr(0, colon));
        const std::string value = trim(line.substr(colon + 1));
        if (value.empty()) continue;
        // dump.exfat prints the start clusters in hexadecimal without a prefix.
        const bool hex = key == "Bitmap start cluster" || key == "Upcase table start cluster";
        const auto number = [&] { return std::stoull(value, nullptr, hex ? 16 : 0); };
        const auto set = [&](std::uint64_t& field) {
            field = number();
            ++found;
        };
        if (key == "Volume Length(sectors)")
            set(facts.volumeSectors);
        else if (key == "FAT Offset(sector offset)")
            set(facts.fatOffset);
        else if (key == "FAT Length(sectors)")
            set(facts.fatLength);
        else if (key == "Cluster Heap Offset (sector offset)")
            set(facts.heapOffset);
        else if (key == "Cluster Count")
            set(facts.clusterCount);
        else if (key == "Root Cluster (cluster offset)")
            set(facts.rootCluster);
        else if (key == "Bitmap start cluster")
            set(facts.bitmapCluster);
        else if (key == "Upcase table start cluster")
            set(facts.upcaseCluster);
        else if (key == "Free Clusters")
            set(facts.freeClusters);
        else if (key == "Volume Serial")
            facts.serial = std::uint32_t(number());
        else if (key == "Cluster size")
            facts.clusterBytes = std::uint32_t(number());
        else if (key == "Volume label")
            facts.label = value;
    }
    if (found < 9) return std::nullopt;
    return facts;
}

std::string exfatToolsMissing(bool fill) {
    for (const char* tool : {"mkfs.exfat", "dump.exfat"})
        if (programPath(tool).empty()) return std::string(tool) + " is not installed (exfatprogs)";
    if (!fill) return {};
    if (programPath("fls").empty()) return "fls is not installed (sleuthkit)";
    if (programPath("mount.exfat-fuse").empty()) return "mount.exfat-fuse is not installed";
    if (programPath("losetup").empty()) return "losetup is not installed (mount)";
    if (::geteuid() != 0) return "loop devices need root";
    if (::access("/dev/fuse", R_OK | W_OK) != 0) return "/dev/fuse is missing or not usable here";
    if (::access("/dev/loop-control", R_OK | W_OK) != 0) return "no loop devices here";
    return {};
}

int makeExfat(const std::string& image, std::uint64_t sizeBytes, std::uint32_t clusterBytes,
              const std::string& label, std::string& output) {
    std::error_code ec;
    fs::remove(image, ec);
    { std::ofstream create(image, std::ios::binary); }
    fs::resize_file(image, sizeBytes, ec);
    if (ec) {
        output = "cannot size the image: " + ec.message();
        return -1;
    }
    std::vector<std::string> argv = {"mkfs.exfat"};
    if (clusterBytes != 0) argv.insert(argv.end(), {"-c", std::to_string(clusterBytes)});
    if (!label.empty()) argv.insert(argv.end(), {"-L", label});
    argv.push_back(image);
    return run(argv, output);
}

std::unique_ptr<ExfatImage> ExfatImage::create(std::uint64_t sizeBytes, std::uint32_t clusterBytes,
                                               const std::string& label, std::string& error) {
    sweepStaleImages();
    std::string name = "/tmp/kesp-exfat-" + std::to_string(::getpid()) + "-XXXXXX";
    if (!::mkdtemp(name.data())) {
        error = "mkdtemp failed";
        return nullptr;
    }
    std::unique_ptr<ExfatImage> image(new ExfatImage);
    image->folder_ = name;
    image->image_ = name + "/ex.img";
    std::string output;
    if (makeExfat(image->image_, sizeBytes, clusterBytes, label, output) != 0) {
        error = "mkfs.exfat failed: " + output;
        return nullptr;
    }
    return image;
}

ExfatImage::~ExfatImage() {
    release();
    std::error_code ec;
    if (!folder_.empty()) fs::remove_all(folder_, ec);
}

void ExfatImage::release() {
    std::string output;
    if (!mountPoint_.empty()) {
        // fuseblk: umount returns once exfat-fuse has written everything back.
        if (run({"umount", mountPoint_}, output) != 0) run({"umount", "-l", mountPoint_}, output);
        mountPoint_.clear();
    }
    if (!loop_.empty()) {
        run({"losetup", "-d", loop_}, output);
        loop_.clear();
    }
}

bool ExfatImage::copyIn(const std::string& source, std::string& error) {
    if (!mount(error)) return false;
    std::string output;
    const int copied = run({"cp", "-r", source + "/.", mountPoint_ + "/"}, output);
    release();
    if (copied != 0) {
        error = "cp failed: " + output;
        return false;
    }
    return true;
}

bool ExfatImage::mount(std::string& error) {
    std::string output;
    if (run({"losetup", "-f", "--show", image_}, output) != 0) {
        error = "losetup failed: " + output;
        return false;
    }
    loop_ = trim(output);
    const std::string point = folder_ + "/mnt";
    fs::create_directory(point);
    // exfat-fuse refuses a plain file: it needs the block device.
    if (run({"mount.exfat-fuse", loop_, point}, output) != 0) {
        error = "mount.exfat-fuse failed: " + output;
        release();
        return false;
    }
    mountPoint_ = point;
    return true;
}

std::vector<std::string> ExfatImage::flsPaths() const {
    std::vector<std::string> paths;
    std::string output;
    if (run({"fls", "-r", "-p", image_}, output) != 0) return paths;
    std::stringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        // "r/r 390:\tname", "d/d 409:\tfolder/name"; deleted ones carry a "*" before the number.
        const auto tab = line.find('\t');
        if (tab == std::string::npos || line.size() < 4) continue;
        if ((line[0] != 'r' && line[0] != 'd') || line.find('*') < tab) continue;
        const std::string path = line.substr(tab + 1);
        if (path == "$ALLOC_BITMAP" || path == "$UPCASE_TABLE") continue;
        const std::string labelMark = " (Volume Label Entry)";
        if (path.size() >= labelMark.size() &&
            path.compare(path.size() - labelMark.size(), labelMark.size(), labelMark) == 0)
            continue;
        paths.push_back(path);
    }
    return paths;
}

} // namespace kesp::test
