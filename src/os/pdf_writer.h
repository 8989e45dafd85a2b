#pragma once
// Writes a text file as a PDF: the report printed to a file. Qt backend in gui/qt; Windows has
// none (see OutputServices).
#include <string>

namespace kesp {

class PdfWriter {
public:
    virtual ~PdfWriter() = default;
    // `textFile`'s lines (UTF-8, CR LF or LF) as they stand, in a monospaced font, to `pdfFile`.
    // Empty when written; otherwise why not, in French.
    virtual std::string writeTextAsPdf(const std::string& textFile, const std::string& pdfFile) = 0;
};

} // namespace kesp
