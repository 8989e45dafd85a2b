#pragma once
// The two result files of a run, written all or nothing. The first failed write or close is
// kept, with a message naming the file and the system's reason; later writes to either file are
// dropped, and neither file then replaces what stood under its name.
//
// Names and labels reach the files through report() and table() as they are; the control bytes
// that would break the files' lines and cells are escaped here (the table's folder rows come
// escaped from tableLine).
#include <memory>
#include <string>
#include <string_view>

#include "os/output_files.h"

namespace kesp {

class ResultFiles {
public:
    // Starts both files; an empty path is a file not written. On failure nothing stays open and
    // failed() tells why.
    ResultFiles(OutputFiles& files, const std::string& reportPath, const std::string& tablePath);

    void report(std::string_view line);
    void table(std::string_view line);
    // Closes both files and, when everything was written, puts both under their names; a loss
    // found while closing counts as a failure. Idempotent.
    void close();

    bool failed() const { return !failure_.empty(); }
    // Whether lines still go to each file, so that lines nobody reads are not even made.
    bool writesReport() const { return report_ && !failed(); }
    bool writesTable() const { return table_ && !failed(); }
    const std::string& failure() const { return failure_; }

private:
    void write(std::unique_ptr<LineSink>& sink, const std::string& path, std::string_view line);
    void closeOne(std::unique_ptr<LineSink>& sink, const std::string& path);
    void commitOne(std::unique_ptr<LineSink>& sink, const std::string& path);

    std::string reportPath_;
    std::string tablePath_;
    std::unique_ptr<LineSink> report_;
    std::unique_ptr<LineSink> table_;
    std::string failure_;
    bool columnsWritten_ = false; // the table's head lines (H, "liste de") come before them
};

} // namespace kesp
