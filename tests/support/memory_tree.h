#pragma once
// An in-memory folder tree behind the FolderEnumerator interface. Paths use the build's separator
// and folders are keyed with their trailing separator; entries come back in the order they were
// added.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "os/folder_enum.h"

namespace kesp::test {

class MemoryTree : public FolderEnumerator {
public:
    // Adds a file below `folder` (which ends with the separator), creating nothing else.
    void file(const std::string& folder, const std::string& name, std::uint64_t size) {
        entries_[folder].push_back({name, false, size});
    }
    // Adds sub-folder `name` below `folder` and returns its path, ending with the separator.
    std::string folder(const std::string& parent, const std::string& name) {
        entries_[parent].push_back({name, true, 0});
        std::string path = parent + name + kSeparator;
        entries_[path];
        return path;
    }
    // Adds sub-folder `name` below `parent` that is the folder `target` under another name, as
    // two entries sharing a first cluster on a damaged volume.
    void alias(const std::string& parent, const std::string& name, const std::string& target) {
        entries_[parent].push_back({name, true, 0});
        aliases_[parent + name + kSeparator] = target;
    }
    // The bytes the folder at `path` occupies as its file system stores it (an exFAT folder's
    // length); folders without one do not say.
    void stored(const std::string& path, std::uint64_t bytes) { stored_[path] = bytes; }
    // Opening this path gives a listing that fails at once, as a folder that cannot be listed.
    void unreadable(const std::string& path, ListingFailure failure = {"Permission non accordée"}) {
        unreadable_[path] = std::move(failure);
    }

    std::vector<std::string> opened; // paths opened, by path or from their parent, in order
    std::vector<std::string> walks;  // roots passed to beginWalk()
    // Runs before each entry is handed out: (folder, entry name).
    std::function<void(const std::string&, const std::string&)> onEntry;
    bool recordOpened = true;

    void beginWalk(const std::string& root) override { walks.push_back(root); }
    void endWalk() override { walks.push_back("end"); }

    std::unique_ptr<FolderListing> open(const std::string& path) override {
        if (recordOpened) opened.push_back(path);
        if (auto it = unreadable_.find(path); it != unreadable_.end())
            return failedListing(it->second);
        if (auto it = aliases_.find(path); it != aliases_.end()) {
            auto listing = open(it->second);
            if (recordOpened) opened.pop_back();
            return listing;
        }
        auto it = entries_.find(path);
        static const std::vector<FolderEntry> none;
        const bool known = it != entries_.end();
        return std::make_unique<Listing>(*this, path, known ? it->second : none, known);
    }

private:
    class Listing : public FolderListing {
    public:
        Listing(MemoryTree& tree, std::string path, const std::vector<FolderEntry>& entries,
                bool known)
            : tree_(tree), path_(std::move(path)), entries_(entries), known_(known) {}
        bool next(FolderEntry& entry) override {
            if (index_ >= entries_.size()) return false;
            entry = entries_[index_++];
            if (tree_.onEntry) tree_.onEntry(path_, entry.name);
            return true;
        }
        std::unique_ptr<FolderListing> openChild(const FolderEntry& entry) override {
            return tree_.open(path_ + entry.name + kSeparator);
        }
        std::optional<std::uint64_t> storedBytes(const FolderEntry& sub) const override {
            const auto it = tree_.stored_.find(path_ + sub.name + kSeparator);
            if (it == tree_.stored_.end()) return std::nullopt;
            return it->second;
        }
        // The folder's own entry list stands for its identity, so an alias is the same folder.
        std::optional<FolderId> id() const override {
            if (!known_) return std::nullopt;
            return FolderId{0, reinterpret_cast<std::uintptr_t>(&entries_)};
        }

    private:
        MemoryTree& tree_;
        std::string path_;
        const std::vector<FolderEntry>& entries_;
        bool known_;
        std::size_t index_ = 0;
    };

    std::map<std::string, std::vector<FolderEntry>> entries_;
    std::map<std::string, ListingFailure> unreadable_;
    std::map<std::string, std::string> aliases_; // path -> the folder it leads to
    std::map<std::string, std::uint64_t> stored_;
};

} // namespace kesp::test
