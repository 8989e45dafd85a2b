#include "gui/qt/qt_pdf_writer.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPrinter>
#include <QTextDocument>
#include <QTextOption>

namespace kesp {

namespace {

constexpr qreal kPointSize = 9;
// Smaller than this is no longer read on paper: longer lines are broken instead.
constexpr qreal kLeastPointSize = 6;
// QTextDocument::print leaves 2 cm on every side of a document that has no page size.
constexpr qreal kMarginInches = 2 / 2.54;

// The width QTextDocument::print gives a line on `printer`'s page, in its device pixels.
qreal lineRoom(const QPrinter& printer) {
    return printer.width() - 2 * kMarginInches * printer.logicalDpiX();
}

qreal widestLine(const QStringList& lines, const QFont& font, QPrinter& printer) {
    const QFontMetricsF metrics(font, &printer);
    qreal widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

} // namespace

std::string QtPdfWriter::writeTextAsPdf(const std::string& textFile, const std::string& pdfFile) {
    QFile in(QFile::decodeName(QByteArray::fromStdString(textFile)));
    if (!in.open(QIODevice::ReadOnly))
        return "Lecture de " + textFile + " impossible : " + in.errorString().toStdString();
    QString text = QString::fromUtf8(in.readAll());
    text.remove(QLatin1Char('\r'));

    // QTextDocument::print reports nothing: a file that cannot be written is found out first.
    const QString target = QFile::decodeName(QByteArray::fromStdString(pdfFile));
    {
        QFile out(target);
        if (!out.open(QIODevice::WriteOnly))
            return "Écriture de " + pdfFile + " impossible : " + out.errorString().toStdString();
    }

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(target);
    printer.setCreator(QStringLiteral("Kesp"));

    // Every line whole on the page: upright when the longest fits, else the page turned, else a
    // smaller font, and past the smallest one lines broken rather than cut at the edge.
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(kPointSize);
    const QStringList lines = text.split(QLatin1Char('\n'));
    qreal widest = widestLine(lines, font, printer);
    if (widest > lineRoom(printer)) printer.setPageOrientation(QPageLayout::Landscape);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    while (widest > lineRoom(printer) && font.pointSizeF() > kLeastPointSize) {
        font.setPointSizeF(std::max(kLeastPointSize, font.pointSizeF() - 0.5));
        widest = widestLine(lines, font, printer);
    }
    if (widest > lineRoom(printer)) option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);

    QTextDocument document;
    document.setDefaultFont(font);
    document.setDefaultTextOption(option);
    document.setPlainText(text);
    // Numbered pages: print() adds the numbers to a document without a page size of its own.
    document.print(&printer);

    if (QFile(target).size() == 0) return "Écriture de " + pdfFile + " impossible.";
    return {};
}

} // namespace kesp
