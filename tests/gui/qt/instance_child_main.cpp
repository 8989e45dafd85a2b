// A second running window for the two-instance test: it scans with its result files in the
// folder given, prints their report's path, and quits when told to on stdin.
#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <string>

#include "gui/qt/form1_harness.h"
#include "os/posix/output_files_posix.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    kesp::PosixOutputFiles disk;
    kesp::test::Harness h;
    h.files = &disk;
    h.temp = argv[1];
    h.environment.variables["temp"] = h.temp;
    h.tree.file(h.fatRoot, "CHILD.BIN", 10);
    kesp::Form1& form = h.window();
    h.scanFat();
    std::cout << form.etat().CheminRes1 << std::endl;
    std::string line;
    std::getline(std::cin, line);
    form.FinProgramme();
    std::cout << "quit" << std::endl;
    return h.exits == std::vector<int>{0} ? 0 : 3;
}
