#include "scan/result_files.h"

#include "scan/result_lines.h"

namespace kesp {

ResultFiles::ResultFiles(OutputFiles& files, const std::string& reportPath,
                         const std::string& tablePath)
    : reportPath_(reportPath), tablePath_(tablePath) {
    std::string reason;
    report_ = files.create(reportPath_, reason);
    if (!report_) {
        failure_ = cannotCreateMessage(reportPath_, reason);
        return;
    }
    table_ = files.create(tablePath_, reason);
    if (!table_) {
        failure_ = cannotCreateMessage(tablePath_, reason);
        report_->close();
        report_.reset();
    }
}

void ResultFiles::write(std::unique_ptr<LineSink>& sink, const std::string& path,
                        std::string_view line) {
    if (failed() || !sink) return;
    if (!sink->writeLine(line)) failure_ = cannotWriteMessage(path, sink->error());
}

void ResultFiles::closeOne(std::unique_ptr<LineSink>& sink, const std::string& path) {
    if (!sink) return;
    if (!sink->close() && !failed()) failure_ = cannotWriteMessage(path, sink->error());
    sink.reset();
}

void ResultFiles::close() {
    closeOne(report_, reportPath_);
    closeOne(table_, tablePath_);
}

} // namespace kesp
