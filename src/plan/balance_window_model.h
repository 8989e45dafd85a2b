#pragma once
// What the window "Bilan du volume" shows, without the toolkit: the sheet as a table, one bar of
// the whole volume cut in a segment per row, the findings, and the text sent to the printer.
#include <array>
#include <string>
#include <vector>

#include "plan/balance_sheet.h"

namespace kesp::plan {

class BalanceWindowModel {
public:
    // `volume`: the volume as the drive list names it. Figures are grouped with `chars`, the
    // user's locale characters, as every figure of the window.
    BalanceWindowModel(BalanceSheet sheet, std::string volume, NumberChars chars = {});

    const BalanceSheet& sheet() const { return sheet_; }
    const std::string& volume() const { return volume_; }
    // "Secteurs réservés", "16384" … one per row, then the total; an empty cell where a row is
    // not made of clusters.
    std::vector<std::array<std::string, 3>> tableRows() const;
    // The bar's segments, one per row in the sheet's order, in pixels adding up to `width`.
    std::vector<int> segmentWidths(int width) const;
    // The gap, when the total is not the volume's size, then the findings.
    std::vector<std::string> notes() const;
    // The volume named, then the sheet as kesp-scan prints it, figures grouped.
    std::vector<std::string> printLines() const;

private:
    BalanceSheet sheet_;
    std::string volume_;
    Figures figures_;
};

} // namespace kesp::plan
