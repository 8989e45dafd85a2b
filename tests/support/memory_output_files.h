#pragma once
// Result files kept in memory, one vector of lines per path, with failures on demand: a create
// that fails, a sink that fails from its Nth line on, a close that reports a loss.
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "os/output_files.h"

namespace kesp::test {

class MemoryOutputFiles : public OutputFiles {
public:
    std::map<std::string, std::vector<std::string>> lines;
    std::map<std::string, bool> closed;
    std::map<std::string, bool> committed;        // put under its name: the run wrote it whole
    std::set<std::string> refuseCreate;           // create() fails with "Permission denied"
    std::map<std::string, std::size_t> failAfter; // writeLine fails once this many lines stand
    std::set<std::string> failClose;              // close() reports "No space left on device"
    std::vector<std::string> created;

    std::unique_ptr<LineSink> create(const std::string& path, std::string& error) override {
        if (refuseCreate.count(path)) {
            error = "Permission denied";
            return nullptr;
        }
        created.push_back(path);
        lines[path].clear();
        closed[path] = false;
        committed[path] = false;
        auto limit = failAfter.find(path);
        return std::make_unique<Sink>(*this, path,
                                      limit == failAfter.end() ? SIZE_MAX : limit->second);
    }

private:
    class Sink : public LineSink {
    public:
        Sink(MemoryOutputFiles& owner, std::string path, std::size_t limit)
            : owner_(owner), path_(std::move(path)), limit_(limit) {}
        bool writeLine(std::string_view line) override {
            auto& out = owner_.lines[path_];
            if (!error_.empty() || out.size() >= limit_) {
                error_ = "No space left on device";
                return false;
            }
            out.emplace_back(line);
            return true;
        }
        bool close() override {
            owner_.closed[path_] = true;
            if (owner_.failClose.count(path_) && error_.empty()) error_ = "No space left on device";
            return error_.empty();
        }
        bool commit() override {
            if (!owner_.closed[path_] || !error_.empty()) return false;
            owner_.committed[path_] = true;
            return true;
        }
        std::string error() const override { return error_; }

    private:
        MemoryOutputFiles& owner_;
        std::string path_;
        std::size_t limit_;
        std::string error_;
    };
};

} // namespace kesp::test
