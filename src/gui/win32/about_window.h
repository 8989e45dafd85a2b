#pragma once
// The About window: title, animated face, date and version, a scrolling line and two links
// handed to the desktop's opener. Modal over the main window.
#include <windows.h>

#include <string>

#include "os/environment.h"
#include "os/launcher.h"
#include "os/message_box.h"

namespace kesp {

class AboutWindow {
public:
    AboutWindow(HINSTANCE instance, ProgramEnvironment& environment, ProgramLauncher& launcher,
                MessageBoxes& boxes);
    ~AboutWindow();
    AboutWindow(const AboutWindow&) = delete;
    AboutWindow& operator=(const AboutWindow&) = delete;

    // Returns once the window is closed (OK, Escape, Enter or its close box).
    void showModal(HWND owner);
    HWND hwnd() const { return hwnd_; }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Form_Load();
    void Timer1_Timer();
    void openLink(const std::string& address);

    ProgramEnvironment& environment_;
    ProgramLauncher& launcher_;
    MessageBoxes& boxes_;
    HWND hwnd_ = nullptr;
    HWND picture1_ = nullptr, label1_ = nullptr, label2_ = nullptr, label3_ = nullptr,
         label4_ = nullptr, label5_ = nullptr, label6_ = nullptr, command1_ = nullptr;
    HFONT police_ = nullptr, gras_ = nullptr, lien_ = nullptr;
    std::u32string texteDefile_;
    std::int16_t posDefile_ = 1;
    int numImage_ = 1;
    int image_ = 1; // the face shown, 1 to 4
    bool open_ = false;
};

} // namespace kesp
