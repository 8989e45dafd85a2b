#include "fat/exfat_fat.h"

#include <algorithm>

namespace kesp::fat {

ExfatFat::ExfatFat(ByteReader& volume, const ExfatGeometry& geometry)
    : volume_(volume), geometry_(geometry) {}

const std::vector<std::uint8_t>* ExfatFat::page(std::uint64_t number) {
    auto found = pages_.find(number);
    if (found != pages_.end()) {
        if (found->second.age != ages_.begin())
            ages_.splice(ages_.begin(), ages_, found->second.age);
        return &found->second.bytes;
    }
    const std::uint64_t start = number * kPageBytes;
    const auto length =
        static_cast<std::size_t>(std::min<std::uint64_t>(kPageBytes, geometry_.fatBytes - start));
    while (!ages_.empty() && held_ + length > kBudgetBytes) {
        held_ -= pages_.at(ages_.back()).bytes.size();
        pages_.erase(ages_.back());
        ages_.pop_back();
    }
    Page fresh;
    fresh.bytes.resize(length);
    if (!volume_.read(geometry_.fatOffset + start, fresh.bytes)) return nullptr;
    ++pagesRead_;
    held_ += length;
    ages_.push_front(number);
    fresh.age = ages_.begin();
    return &pages_.emplace(number, std::move(fresh)).first->second.bytes;
}

std::optional<std::uint32_t> ExfatFat::entry(std::uint32_t cluster) {
    const std::uint64_t offset = std::uint64_t(cluster) * 4;
    if (offset + 4 > geometry_.fatBytes) return std::nullopt;
    // Entries are 4-byte aligned and pages a multiple of 4: one entry never spans two pages.
    const auto* bytes = page(offset / kPageBytes);
    if (!bytes) return std::nullopt;
    return le32(*bytes, static_cast<std::size_t>(offset % kPageBytes));
}

ClusterChain::ClusterChain(ExfatFat& fat, const ExfatGeometry& geometry, std::uint32_t first,
                           std::optional<std::uint64_t> length, bool contiguous,
                           std::uint64_t limit)
    : fat_(fat), geometry_(geometry), current_(first), length_(length), contiguous_(contiguous),
      limit_(limit), saved_(first) {}

std::optional<std::uint32_t> ClusterChain::stop(std::string reason) {
    done_ = true;
    failure_ = std::move(reason);
    return std::nullopt;
}

std::optional<std::uint32_t> ClusterChain::next() {
    if (done_) return std::nullopt;
    if (length_ && delivered_ >= *length_) {
        done_ = true;
        // A chain that goes on past its length has no end marker where it should: a loop
        // within the length shows here, even one too short for the cycle check to catch.
        if (!contiguous_ && delivered_ > 0) {
            const auto value = fat_.entry(current_);
            if (!value) return stop("FAT illisible au cluster " + std::to_string(current_));
            if (*value != ExfatFat::kEnd)
                return stop("chaîne de clusters plus longue que la taille annoncée (en boucle ?)");
        }
        return std::nullopt;
    }
    if (delivered_ > 0) {
        std::uint64_t following = 0;
        if (contiguous_) {
            following = std::uint64_t(current_) + 1;
        } else {
            const auto value = fat_.entry(current_);
            if (!value) return stop("FAT illisible au cluster " + std::to_string(current_));
            if (*value == ExfatFat::kEnd) {
                done_ = true;
                if (length_)
                    return stop("chaîne de clusters plus courte que la taille annoncée (" +
                                std::to_string(delivered_) + " sur " + std::to_string(*length_) +
                                " clusters)");
                return std::nullopt;
            }
            if (*value == ExfatFat::kBad)
                return stop("chaîne de clusters menant à un cluster défectueux");
            following = *value;
        }
        if (following > 0xFFFFFFFFu || !geometry_.validCluster(std::uint32_t(following)))
            return stop("cluster hors du volume (" + std::to_string(following) + ")");
        current_ = std::uint32_t(following);
        if (!contiguous_) {
            if (current_ == saved_) return stop("chaîne de clusters en boucle");
            if (++sinceSaved_ == power_) {
                saved_ = current_;
                power_ *= 2;
                sinceSaved_ = 0;
            }
        }
    } else if (!geometry_.validCluster(current_)) {
        return stop("cluster hors du volume (" + std::to_string(current_) + ")");
    }
    if (delivered_ >= limit_) return stop("chaîne de clusters trop longue (en boucle ?)");
    ++delivered_;
    return current_;
}

std::optional<std::uint64_t> chainLength(ExfatFat& fat, const ExfatGeometry& geometry,
                                         std::uint32_t first, std::uint64_t limit,
                                         std::string& error) {
    ClusterChain chain(fat, geometry, first, std::nullopt, false, limit);
    while (chain.next()) {
    }
    if (!chain.failure().empty()) {
        error = chain.failure();
        return std::nullopt;
    }
    return chain.delivered();
}

} // namespace kesp::fat
