#include "platform/image/image_address.h"

#include <charconv>

namespace kesp {
namespace {

// ":N" at the end of `text` (N from 0 to 999): N, and `text` without it.
std::optional<int> takePartition(std::string_view& text) {
    const auto colon = text.rfind(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const std::string_view digits = text.substr(colon + 1);
    int number = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (digits.empty() || digits.size() > 3 || ec != std::errc{} ||
        end != digits.data() + digits.size())
        return std::nullopt;
    text = text.substr(0, colon);
    return number;
}

} // namespace

std::optional<ImageAddress> parseImageAddress(std::string_view text) {
    ImageAddress address;
    const auto colon = text.rfind(':');
    if (colon != std::string_view::npos && colon + 1 < text.size() && text[colon + 1] == '/') {
        address.inner = std::string(text.substr(colon + 1));
        text = text.substr(0, colon);
    } else if (text.ends_with("]")) {
        // A drive entry: "IMAGE[:N] [label]"; a label may hold anything, the image part not " [".
        const auto open = text.find(" [");
        if (open != std::string_view::npos) text = text.substr(0, open);
    }
    if (const auto number = takePartition(text)) address.partition = *number;
    if (text.empty()) return std::nullopt;
    address.image = std::string(text);
    return address;
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
