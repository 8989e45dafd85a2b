#pragma once
// The window "Plan de formatage" on Windows, as the Qt one: the volume-size field with the
// figures following as one types, the plan's table with the recommended row highlighted, the
// recommendation and the smallest sizes, the layout bars and the slack by file size drawn with
// GDI, and "Imprimer", which hands the plan's text to the owner. Figures, texts, colours and the
// charts' shapes come from PlanWindowModel and plan_charts, as for the Qt window. Modeless, a
// window of its own; closing only hides it.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "plan/plan_window_model.h"

namespace kesp {

class ChartViewWin32;

class PlanWindowWin32 {
public:
    using PrintLines = std::function<void(const std::vector<std::string>& lines)>;
    PlanWindowWin32(HINSTANCE instance, plan::PlanWindowModel model, PrintLines print);
    ~PlanWindowWin32();
    PlanWindowWin32(const PlanWindowWin32&) = delete;
    PlanWindowWin32& operator=(const PlanWindowWin32&) = delete;

    void show();
    HWND hwnd() const { return hwnd_; }
    HWND volumeField() const { return volume_; }
    HWND printButton() const { return print_; }
    HWND table() const { return table_; }
    HWND recommendation() const { return recommendation_; }
    const ChartViewWin32& bars() const { return *bars_; }
    const ChartViewWin32& slack() const { return *slack_; }
    const plan::PlanWindowModel& model() const { return model_; }
    // False while the field holds no size: its text is then red and the last plan stays shown.
    bool sizeRead() const { return sizeRead_; }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls(HINSTANCE instance);
    void layout();
    void refresh();
    void volumeEdited();
    LRESULT drawTableItem(LPARAM customDraw);

    plan::PlanWindowModel model_;
    PrintLines printLines_;
    bool sizeRead_ = true;
    bool filling_ = false; // the field is being set by the window itself
    HWND hwnd_ = nullptr;
    HWND label_ = nullptr;
    HWND volume_ = nullptr;
    HWND print_ = nullptr;
    HWND recommendation_ = nullptr;
    HWND table_ = nullptr;
    HFONT font_ = nullptr;
    HFONT boldFont_ = nullptr;
    std::unique_ptr<ChartViewWin32> bars_;
    std::unique_ptr<ChartViewWin32> slack_;
};

} // namespace kesp
