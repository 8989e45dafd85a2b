// The plan as printed from its window, read back from the PDF with pdftotext: every cell of
// every layout on its row, the recommendation and the note whole, the pages numbered.
#include <QRegularExpression>
#include <QString>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "gui/qt/qt_pdf_writer.h"
#include "plan/plan_window_model.h"
#include "support/temp_dir.h"

namespace kesp {
namespace {

namespace fs = std::filesystem;

QString pdfText(const fs::path& pdf, const std::string& pages = {}) {
    const fs::path text = pdf.parent_path() / "texte.txt";
    const std::string command =
        "pdftotext -layout " + pages + " '" + pdf.string() + "' '" + text.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    // Grouping blanks (no-break or not) read as plain blanks.
    return QString::fromStdString(test::readFile(text))
        .replace(QChar(0x202F), QLatin1Char(' '))
        .replace(QChar(0x00A0), QLatin1Char(' '));
}

QString oneLine(QString text) {
    return text.replace(QChar(0x202F), QLatin1Char(' ')).simplified();
}

// The cells one after the other on one line, blanks between them.
bool onOneLine(const QString& text, const std::vector<std::string>& cells) {
    QStringList parts;
    for (const std::string& cell : cells)
        parts << QRegularExpression::escape(oneLine(QString::fromStdString(cell)))
                     .replace(QLatin1String("\\ "), QLatin1String(" +"));
    const QRegularExpression row(QLatin1String("(^|\\n)[^\\n]*") + parts.join(QLatin1String(" +")));
    return row.match(text).hasMatch();
}

TEST(PlanPrintout, EveryCellAndSentenceReachesThePdfOnNumberedPages) {
    if (!std::filesystem::exists("/usr/bin/pdftotext"))
        GTEST_SKIP() << "pdftotext is not installed (scripts/deps.sh installs poppler-utils)";
    // Many small files: every layout holds them, so every validity and the 64 KiB note show.
    TreeTally tally;
    for (std::uint64_t i = 0; i < 3000; ++i)
        tallyFile(tally, 1000 + 37 * i, 4096);
    tallyFolder(tally, {40, 3 * 40}, false);
    tallyFolder(tally, {3000 - 40 + 1, 3 * (3000 - 40 + 1)}, true);
    const NumberChars french{"\xE2\x80\xAF", ","};
    const plan::PlanWindowModel model(tally, 1ull << 30, 4096, french);
    ASSERT_GE(model.tableRows().size(), 10u);

    test::TempDir folder;
    const fs::path printout = folder / "~qkplan.tmp";
    {
        std::ofstream out(printout, std::ios::binary);
        for (const std::string& line : model.printLines())
            out << line << "\r\n";
    }
    const fs::path pdf = folder / "plan.pdf";
    ASSERT_EQ(QtPdfWriter().writeTextAsPdf(printout.string(), pdf.string()), "");
    const QString text = pdfText(pdf);

    // Each layout twice: its geometry, then what the files would take on it.
    for (const auto& cells : model.tableRows()) {
        EXPECT_TRUE(onOneLine(text, {cells[0], cells[1], cells[2], cells[3], cells[4], cells[5]}))
            << cells[0] << " " << cells[1] << "\n"
            << text.toStdString();
        std::vector<std::string> outcome = {cells[0], cells[1], cells[6],
                                            cells[7], cells[8], cells[9]};
        if (!cells[10].empty()) outcome.push_back(cells[10]);
        EXPECT_TRUE(onOneLine(text, outcome)) << cells[0] << " " << cells[1];
    }
    const QString whole = oneLine(text);
    for (const std::string& sentence :
         {plan::recommendationLine(model.plan(), model.figures()),
          plan::exfatRecommendationLine(model.plan(), model.figures()), plan::lostSpaceNote(),
          plan::minimalSizeLine(model.plan().minimal[2], model.figures())})
        EXPECT_TRUE(whole.contains(oneLine(QString::fromStdString(sentence)))) << sentence;
    EXPECT_TRUE(whole.contains(QStringLiteral("≥ 64 Mo")));

    // More than a page: each one ends with its number.
    const QString info = [&] {
        const fs::path out = folder / "info.txt";
        std::system(("pdfinfo '" + pdf.string() + "' > '" + out.string() + "'").c_str());
        return QString::fromStdString(test::readFile(out));
    }();
    const auto pages =
        QRegularExpression(QStringLiteral("Pages: +(\\d+)")).match(info).captured(1).toInt();
    ASSERT_GE(pages, 2) << info.toStdString();
    for (int page = 1; page <= pages; ++page) {
        const std::string n = std::to_string(page);
        const QStringList lines = pdfText(pdf, "-f " + n + " -l " + n)
                                      .remove(QLatin1Char('\f'))
                                      .trimmed()
                                      .split(QLatin1Char('\n'));
        EXPECT_EQ(lines.last().trimmed().toStdString(), n) << "page " << n;
    }
}

} // namespace
} // namespace kesp
