#pragma once
// The window "Plan de formatage" on Windows, as the Qt one: the volume-size field with the
// figures following as one types (why a size is refused beside it), the plan's table with the
// recommended rows highlighted and what its lost space counts, the recommendations and the
// smallest sizes, the layout bars and the slack by file size drawn with GDI, "Imprimer", which
// hands the plan's text to the owner, and "Fermer" (Escape too). Figures, texts, colours and the
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
    HWND volumeError() const { return volumeError_; }
    HWND printButton() const { return print_; }
    HWND closeButton() const { return close_; }
    HWND table() const { return table_; }
    HWND recommendation() const { return recommendation_; }
    const ChartViewWin32& bars() const { return *bars_; }
    const ChartViewWin32& slack() const { return *slack_; }
    const plan::PlanWindowModel& model() const { return model_; }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK fieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR window);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls(HINSTANCE instance);
    void layout();
    void refresh();
    LRESULT drawTableItem(LPARAM customDraw);

    plan::PlanWindowModel model_;
    PrintLines printLines_;
    bool filling_ = false; // the field is being set by the window itself
    HWND hwnd_ = nullptr;
    HWND label_ = nullptr;
    HWND volume_ = nullptr;
    HWND volumeError_ = nullptr;
    HWND print_ = nullptr;
    HWND close_ = nullptr;
    HWND recommendation_ = nullptr;
    HWND partial_ = nullptr; // null unless the walk missed folders
    HWND table_ = nullptr;
    HWND note_ = nullptr;
    HWND tooltip_ = nullptr;
    HFONT font_ = nullptr;
    HFONT boldFont_ = nullptr;
    std::unique_ptr<ChartViewWin32> bars_;
    std::unique_ptr<ChartViewWin32> slack_;
};

} // namespace kesp
