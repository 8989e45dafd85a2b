#include "mainwindow/open_files.h"

#include <algorithm>

namespace kesp {

class OpenFileRegistry::TrackedSink : public LineSink {
public:
    TrackedSink(OpenFileRegistry& owner, std::unique_ptr<LineSink> sink)
        : owner_(&owner), sink_(std::move(sink)) {
        owner_->open_.push_back(this);
    }
    ~TrackedSink() override {
        forget();
        // Never lose the file's tail because its owner skipped close().
        if (!closed_) sink_->close();
    }

    bool writeLine(std::string_view line) override {
        if (closed_) {
            writtenAfterClose_ = true;
            return false;
        }
        return sink_->writeLine(line);
    }
    bool close() override {
        if (!closed_) {
            closed_ = true;
            closeResult_ = sink_->close();
            forget();
        }
        return closeResult_;
    }
    std::string error() const override {
        if (writtenAfterClose_ && sink_->error().empty()) return "Fichier fermé";
        return sink_->error();
    }
    void detach() { owner_ = nullptr; }

private:
    void forget() {
        if (owner_ == nullptr) return;
        auto& open = owner_->open_;
        open.erase(std::remove(open.begin(), open.end(), this), open.end());
        owner_ = nullptr;
    }

    OpenFileRegistry* owner_;
    std::unique_ptr<LineSink> sink_;
    bool closed_ = false;
    bool closeResult_ = true;
    bool writtenAfterClose_ = false;
};

OpenFileRegistry::~OpenFileRegistry() {
    for (TrackedSink* sink : open_)
        sink->detach();
}

std::unique_ptr<LineSink> OpenFileRegistry::create(const std::string& path, std::string& error) {
    auto sink = files_.create(path, error);
    if (!sink) return nullptr;
    return std::make_unique<TrackedSink>(*this, std::move(sink));
}

void OpenFileRegistry::closeAll() {
    // close() removes the sink from open_.
    while (!open_.empty())
        open_.back()->close();
}

} // namespace kesp
