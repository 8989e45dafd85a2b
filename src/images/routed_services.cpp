#include "images/routed_services.h"

namespace kesp {

std::vector<std::string> RoutedVolumeService::drives() {
    std::vector<std::string> entries = host_->drives();
    for (std::string& entry : image_.drives())
        entries.push_back(std::move(entry));
    return entries;
}

} // namespace kesp
