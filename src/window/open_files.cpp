#include "window/open_files.h"

#include <algorithm>

namespace kesp {

class OpenFileRegistry::TrackedSink : public LineSink {
public:
    TrackedSink(OpenFileRegistry& owner, std::unique_ptr<LineSink> sink)
        : owner_(&owner), sink_(std::move(sink)) {
        owner_->live_.push_back(this);
    }
    ~TrackedSink() override {
        if (owner_ == nullptr) return;
        auto& live = owner_->live_;
        live.erase(std::remove(live.begin(), live.end(), this), live.end());
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
        }
        return closeResult_;
    }
    bool commit() override {
        // A file the shutdown closed was cut short: it never takes the name.
        if (closedByOwner_ || writtenAfterClose_) return false;
        return sink_->commit();
    }
    std::string error() const override {
        if ((writtenAfterClose_ || closedByOwner_) && sink_->error().empty())
            return "Fichier fermé";
        return sink_->error();
    }
    void closeForShutdown() {
        closedByOwner_ = true;
        close();
    }
    void detach() { owner_ = nullptr; }
    bool isOpen() const { return !closed_; }

private:
    OpenFileRegistry* owner_;
    std::unique_ptr<LineSink> sink_;
    bool closed_ = false;
    bool closeResult_ = true;
    bool closedByOwner_ = false;
    bool writtenAfterClose_ = false;
};

OpenFileRegistry::~OpenFileRegistry() {
    for (TrackedSink* sink : live_)
        sink->detach();
}

std::unique_ptr<LineSink> OpenFileRegistry::create(const std::string& path, std::string& error) {
    auto sink = files_.create(path, error);
    if (!sink) return nullptr;
    return std::make_unique<TrackedSink>(*this, std::move(sink));
}

void OpenFileRegistry::closeAll() {
    for (TrackedSink* sink : live_)
        if (sink->isOpen()) sink->closeForShutdown();
}

std::size_t OpenFileRegistry::openCount() const {
    return static_cast<std::size_t>(
        std::count_if(live_.begin(), live_.end(), [](TrackedSink* s) { return s->isOpen(); }));
}

} // namespace kesp
