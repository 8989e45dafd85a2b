#pragma once
// Sequential text output for the result files.
#include <memory>
#include <string>
#include <string_view>

namespace kesp {

// One open output file. Lines are written as given followed by CR LF. After the first failure
// every later call fails too and error() tells why.
class LineSink {
public:
    virtual ~LineSink() = default;
    virtual bool writeLine(std::string_view line) = 0;
    // Flushes and closes; false when anything written since opening was lost.
    virtual bool close() = 0;
    // The system's reason for the first failure, in the user's words ("No space left on device").
    virtual std::string error() const = 0;
};

class OutputFiles {
public:
    virtual ~OutputFiles() = default;
    // Creates or truncates `path`. nullptr on failure, with the reason in `error`.
    virtual std::unique_ptr<LineSink> create(const std::string& path, std::string& error) = 0;
};

} // namespace kesp
