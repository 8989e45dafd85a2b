#include "os/folder_enum.h"

namespace kesp {

namespace {

class FailedListing final : public FolderListing {
public:
    explicit FailedListing(ListingFailure failure) : failure_(std::move(failure)) {}
    bool next(FolderEntry&) override { return false; }
    std::optional<ListingFailure> failure() const override { return failure_; }
    std::unique_ptr<FolderListing> openChild(const FolderEntry&) override {
        return failedListing(failure_);
    }

private:
    ListingFailure failure_;
};

} // namespace

char FolderEnumerator::separatorFor(const std::string&) const {
    return kSeparator;
}

std::unique_ptr<FolderListing> failedListing(ListingFailure failure) {
    return std::make_unique<FailedListing>(std::move(failure));
}

} // namespace kesp
