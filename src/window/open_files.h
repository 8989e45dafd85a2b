#pragma once
// Keeps track of the result files a run has open, so the shutdown can close them while the run
// that owns them is still further up the stack. No Qt.
#include <memory>
#include <vector>

#include "os/output_files.h"

namespace kesp {

class OpenFileRegistry : public OutputFiles {
public:
    explicit OpenFileRegistry(OutputFiles& files) : files_(files) {}
    ~OpenFileRegistry() override;

    std::unique_ptr<LineSink> create(const std::string& path, std::string& error) override;
    HoldResult hold(const std::string& path, std::string& error) override {
        return files_.hold(path, error);
    }
    void releaseAll() override { files_.releaseAll(); }

    // Closes every file still open, none of them to be put in place; their owners' later writes
    // and commits fail and their close() reports what this one did.
    void closeAll();
    std::size_t openCount() const;

private:
    class TrackedSink;
    friend class TrackedSink;
    OutputFiles& files_;
    std::vector<TrackedSink*> live_; // every sink not yet destroyed
};

} // namespace kesp
