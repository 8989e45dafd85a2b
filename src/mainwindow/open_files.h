#pragma once
// Keeps track of the result files a run has open, so the shutdown can close them while the run
// that owns them is still further up the stack. No Qt.
#include <memory>
#include <vector>

#include "platform/output_files.h"

namespace kesp {

class OpenFileRegistry : public OutputFiles {
public:
    explicit OpenFileRegistry(OutputFiles& files) : files_(files) {}
    ~OpenFileRegistry() override;

    std::unique_ptr<LineSink> create(const std::string& path, std::string& error) override;

    // Closes every file still open; their owners' later writes fail and their close() reports
    // what this one did.
    void closeAll();
    std::size_t openCount() const { return open_.size(); }

private:
    class TrackedSink;
    friend class TrackedSink;
    OutputFiles& files_;
    std::vector<TrackedSink*> open_;
};

} // namespace kesp
