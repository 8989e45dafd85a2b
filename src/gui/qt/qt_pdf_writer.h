#pragma once
// The report as a PDF through QPrinter's PDF output and a plain-text QTextDocument.
#include "os/pdf_writer.h"

namespace kesp {

class QtPdfWriter : public PdfWriter {
public:
    std::string writeTextAsPdf(const std::string& textFile, const std::string& pdfFile) override;
};

} // namespace kesp
