#include "scan/result_files.h"

#include "scan/escaped_text.h"
#include "scan/result_lines.h"

namespace kesp {

ResultFiles::ResultFiles(OutputFiles& files, const std::string& reportPath,
                         const std::string& tablePath)
    : reportPath_(reportPath), tablePath_(tablePath) {
    std::string reason;
    if (!reportPath_.empty()) {
        report_ = files.create(reportPath_, reason);
        if (!report_) {
            failure_ = cannotCreateMessage(reportPath_, reason);
            return;
        }
    }
    if (tablePath_.empty()) return;
    table_ = files.create(tablePath_, reason);
    if (!table_) {
        failure_ = cannotCreateMessage(tablePath_, reason);
        report_.reset();
    }
}

void ResultFiles::report(std::string_view line) {
    if (!report_) return;
    if (needsEscape(EscapeFor::Report, line))
        write(report_, reportPath_, escapedFor(EscapeFor::Report, line));
    else
        write(report_, reportPath_, line);
}

void ResultFiles::table(std::string_view line) {
    if (!table_) return;
    if (line == kLineColumns) columnsWritten_ = true;
    // A head line is one cell: a TAB of the label or of the folder's name is escaped too.
    if (!columnsWritten_)
        write(table_, tablePath_, escapedFor(EscapeFor::Table, line));
    else
        write(table_, tablePath_, line);
}

void ResultFiles::write(std::unique_ptr<LineSink>& sink, const std::string& path,
                        std::string_view line) {
    if (failed() || !sink) return;
    if (!sink->writeLine(line)) failure_ = cannotWriteMessage(path, sink->error());
}

void ResultFiles::closeOne(std::unique_ptr<LineSink>& sink, const std::string& path) {
    if (sink && !sink->close() && !failed()) failure_ = cannotWriteMessage(path, sink->error());
}

void ResultFiles::commitOne(std::unique_ptr<LineSink>& sink, const std::string& path) {
    if (sink && !failed() && !sink->commit()) failure_ = cannotWriteMessage(path, sink->error());
    sink.reset();
}

void ResultFiles::close() {
    closeOne(report_, reportPath_);
    closeOne(table_, tablePath_);
    // Both are complete before either takes its name.
    commitOne(report_, reportPath_);
    commitOne(table_, tablePath_);
}

} // namespace kesp
