#include "images/image_address.h"

#include <charconv>
#include <vector>

namespace kesp {
namespace {

// A partition number as paths and drive entries write it: 1 to 999, plain digits.
std::optional<int> partitionNumber(std::string_view digits) {
    int number = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || digits.size() > 3 || digits.front() < '1' || digits.front() > '9' ||
        ec != std::errc{} || end != digits.data() + digits.size())
        return std::nullopt;
    return number;
}

// ":N" at the end of `text`: N, and `text` without it.
std::optional<int> takePartition(std::string_view& text) {
    const auto colon = text.rfind(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const auto number = partitionNumber(text.substr(colon + 1));
    if (number) text = text.substr(0, colon);
    return number;
}

} // namespace

std::optional<ImageAddress> parseImageAddress(std::string_view text) {
    ImageAddress address;
    const auto colon = text.rfind(':');
    if (colon != std::string_view::npos && colon + 1 < text.size() && text[colon + 1] == '/') {
        address.inner = std::string(text.substr(colon + 1));
        text = text.substr(0, colon);
    }
    if (const auto number = takePartition(text)) address.partition = *number;
    if (text.empty()) return std::nullopt;
    address.image = std::string(text);
    return address;
}

std::optional<ImageAddress> addressIn(const std::string& image, std::string_view text) {
    if (image.empty() || !text.starts_with(image)) return std::nullopt;
    std::string_view rest = text.substr(image.size());
    ImageAddress address{image, -1, "/"};
    if (rest.empty()) return address;
    if (rest.front() != ':') return std::nullopt;
    rest.remove_prefix(1);
    if (!rest.starts_with('/')) {
        const auto colon = rest.find(':');
        const auto number = partitionNumber(rest.substr(0, colon));
        if (!number) return std::nullopt;
        address.partition = *number;
        if (colon == std::string_view::npos) return address;
        rest = rest.substr(colon + 1);
        if (!rest.starts_with('/')) return std::nullopt;
    }
    // What follows is a path in a FAT volume, whose names hold no ':'.
    if (rest.find(':') != std::string_view::npos) return std::nullopt;
    address.inner = std::string(rest);
    return address;
}

std::string normalInnerPath(std::string_view inner) {
    std::vector<std::string_view> names;
    while (!inner.empty()) {
        const auto cut = inner.find_first_of("/\\");
        const std::string_view name = inner.substr(0, cut);
        inner = cut == std::string_view::npos ? std::string_view() : inner.substr(cut + 1);
        if (name.empty() || name == ".") continue;
        if (name == "..") {
            if (!names.empty()) names.pop_back();
            continue;
        }
        names.push_back(name);
    }
    std::string path;
    for (std::string_view name : names)
        path.append("/").append(name);
    return path.empty() ? "/" : path;
}

std::string imagePathText(const std::string& image, int partition, std::string_view inner) {
    std::string text = image;
    if (partition > 0) text += ":" + std::to_string(partition);
    text += ":/";
    if (inner.starts_with('/')) inner.remove_prefix(1);
    text += inner;
    return text;
}

std::string imageDriveEntry(const std::string& image, int partition, std::string_view label) {
    std::string text = image;
    if (partition > 0) text += ":" + std::to_string(partition);
    if (!label.empty()) {
        text += " [";
        text += label;
        text += "]";
    }
    return text;
}

} // namespace kesp
