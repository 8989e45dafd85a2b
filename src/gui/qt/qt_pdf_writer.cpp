#include "gui/qt/qt_pdf_writer.h"

#include <QFile>
#include <QFontDatabase>
#include <QPrinter>
#include <QTextDocument>
#include <QTextOption>

namespace kesp {

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

    QTextDocument document;
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(9);
    document.setDefaultFont(font);
    // The report's columns are aligned with spaces: no wrapping that would break them.
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(QTextOption::NoWrap);
    document.setDefaultTextOption(option);
    document.setPlainText(text);
    document.print(&printer);

    if (QFile(target).size() == 0) return "Écriture de " + pdfFile + " impossible.";
    return {};
}

} // namespace kesp
