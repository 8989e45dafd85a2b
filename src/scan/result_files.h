#pragma once
// The two result files of a run, open for writing. The first failed write or close is kept, with
// a message naming the file and the system's reason; later writes to either file are dropped.
#include <memory>
#include <string>
#include <string_view>

#include "platform/output_files.h"

namespace kesp {

class ResultFiles {
public:
    // Creates both files. On failure nothing stays open and failed() tells why.
    ResultFiles(OutputFiles& files, const std::string& reportPath, const std::string& tablePath);

    void report(std::string_view line) { write(report_, reportPath_, line); }
    void table(std::string_view line) { write(table_, tablePath_, line); }
    // Closes both files; a loss found while closing counts as a failure. Idempotent.
    void close();

    bool failed() const { return !failure_.empty(); }
    const std::string& failure() const { return failure_; }

private:
    void write(std::unique_ptr<LineSink>& sink, const std::string& path, std::string_view line);
    void closeOne(std::unique_ptr<LineSink>& sink, const std::string& path);

    std::string reportPath_;
    std::string tablePath_;
    std::unique_ptr<LineSink> report_;
    std::unique_ptr<LineSink> table_;
    std::string failure_;
};

} // namespace kesp
