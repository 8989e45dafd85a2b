#include "os/host_folder.h"

#include <filesystem>

namespace kesp {

bool isHostFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

std::string currentHostFolder() {
    std::error_code error;
    const std::filesystem::path cwd = std::filesystem::current_path(error);
    return error ? std::string() : cwd.string();
}

std::string absoluteHostPath(const std::string& path) {
    std::filesystem::path p(path);
    if (p.is_relative()) {
        std::error_code error;
        p = std::filesystem::current_path(error) / p;
    }
    return p.lexically_normal().string();
}

} // namespace kesp
