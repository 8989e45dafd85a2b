#pragma once
// A mount that never answers, made with the tests' own blocking FUSE program, removed at the end.
#include <string>

#include "support/temp_dir.h"

namespace kesp::test {

class BlockingMount {
public:
    BlockingMount();
    ~BlockingMount();
    BlockingMount(const BlockingMount&) = delete;
    BlockingMount& operator=(const BlockingMount&) = delete;

    // Empty when mounted; else why not (no FUSE here), for GTEST_SKIP.
    const std::string& skipReason() const { return skipReason_; }
    const std::string& mountPoint() const { return mountPoint_; }

private:
    TempDir dir_;
    std::string mountPoint_;
    std::string skipReason_;
    int daemon_ = -1;
};

} // namespace kesp::test
