#include "gui/win32/text_printer.h"

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "gui/win32/wide_text.h"

namespace kesp {
namespace {

struct PrinterDc {
    HDC dc = nullptr;
    ~PrinterDc() {
        if (dc) DeleteDC(dc);
    }
};

bool readLines(const std::string& path, std::vector<std::wstring>& lines) {
    std::ifstream in(std::filesystem::path(wide(path)), std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(wide(line));
    }
    return true;
}

} // namespace

std::string printTextFile(const std::string& textFile, const std::string& printer, int copies) {
    std::vector<std::wstring> lines;
    if (!readLines(textFile, lines)) return "Le fichier " + textFile + " n'a pas pu être lu.";
    PrinterDc printerDc;
    printerDc.dc = CreateDCW(L"WINSPOOL", wide(printer).c_str(), nullptr, nullptr);
    if (!printerDc.dc) return "L'imprimante " + printer + " n'est pas disponible.";
    const HDC dc = printerDc.dc;

    // 10 points, whatever the printer's resolution.
    const int height = -MulDiv(10, GetDeviceCaps(dc, LOGPIXELSY), 72);
    HFONT font = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             FIXED_PITCH | FF_MODERN, L"Courier New");
    const HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    const int margin = GetDeviceCaps(dc, LOGPIXELSX) / 2;
    const int pageHeight = GetDeviceCaps(dc, VERTRES);
    const int perPage = std::max(1, (pageHeight - 2 * margin) / std::max(1, lineHeight));
    int tabStop = 8 * metrics.tmAveCharWidth;

    DOCINFOW document{};
    document.cbSize = sizeof document;
    const std::wstring name = wide(textFile);
    document.lpszDocName = name.c_str();
    std::string failure;
    if (StartDocW(dc, &document) <= 0) {
        failure = "L'impression n'a pas pu commencer.";
    } else {
        for (int copy = 0; copy < std::max(1, copies) && failure.empty(); ++copy) {
            for (std::size_t first = 0; first == 0 || first < lines.size(); first += perPage) {
                if (StartPage(dc) <= 0) {
                    failure = "L'impression d'une page a échoué.";
                    break;
                }
                for (std::size_t i = first; i < lines.size() && i < first + perPage; ++i)
                    TabbedTextOutW(dc, margin, margin + static_cast<int>(i - first) * lineHeight,
                                   lines[i].c_str(), static_cast<int>(lines[i].size()), 1, &tabStop,
                                   margin);
                EndPage(dc);
                if (lines.empty()) break;
            }
        }
        if (failure.empty())
            EndDoc(dc);
        else
            AbortDoc(dc);
    }
    SelectObject(dc, previous);
    DeleteObject(font);
    return failure;
}

} // namespace kesp
