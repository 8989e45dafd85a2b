// kesp: the window. Wires the POSIX and Qt services into Form1 and runs the event loop.
#include <QApplication>
#include <cstdlib>

#include "mainwindow/form1.h"
#include "mainwindow/image_list.h"
#include "platform/posix/environment.h"
#include "platform/posix/folder_enum_posix.h"
#include "platform/posix/output_files_posix.h"
#include "platform/posix/ticks_posix.h"
#include "platform/posix/volume_service_posix.h"
#include "platform/qt/qt_file_dialogs.h"
#include "platform/qt/qt_message_boxes.h"
#include "platform/qt/qt_program_launcher.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kesp"));
    QApplication::setApplicationVersion(QStringLiteral(KESP_VERSION_STRING));
    QApplication::setWindowIcon(kesp::programIcon());

    auto volumes = kesp::makePosixVolumeService();
    kesp::PosixFolderEnumerator folders;
    kesp::PosixTicks ticks;
    kesp::PosixOutputFiles files;
    kesp::QtMessageBoxes boxes;
    kesp::PosixEnvironment environment;
    kesp::QtFileDialogs dialogs;
    kesp::QtProgramLauncher launcher;

    kesp::Form1 form({*volumes, folders, ticks, files, boxes, environment, dialogs, launcher,
                      kesp::userNumberChars(), [](int status) { std::_Exit(status); }});
    boxes.setParent(&form);
    dialogs.setParent(&form);
    form.show();
    return QApplication::exec();
}
