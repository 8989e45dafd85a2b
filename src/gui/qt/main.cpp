// kesp: the window. Wires the system's services and the Qt ones into Form1 and runs the event loop.
#include <QApplication>
#include <QFile>
#include <QTranslator>
#include <cstdlib>

#include "gui/qt/form1.h"
#include "gui/qt/image_list.h"
#include "gui/qt/qt_file_dialogs.h"
#include "gui/qt/qt_message_boxes.h"
#include "gui/qt/qt_program_launcher.h"
#include "gui/qt/qt_translations.h"
#include "images/system_services.h"
#include "os/posix/lp_printer.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kesp"));
    QApplication::setApplicationVersion(QStringLiteral(KESP_VERSION_STRING));
    QApplication::setWindowIcon(kesp::programIcon());
    QTranslator qtFrench;
    kesp::installQtFrench(qtFrench);

    kesp::SystemServices system = kesp::makeSystemServices();
    kesp::QtMessageBoxes boxes;
    kesp::QtFileDialogs dialogs;
    kesp::QtProgramLauncher launcher;
    kesp::LpPrinter printer(launcher);

    kesp::Form1 form({*system.volumes, *system.folders, *system.ticks, *system.files, boxes,
                      *system.environment, dialogs, launcher, printer, kesp::userNumberChars(),
                      [](int status) { std::_Exit(status); }, system.images});
    boxes.setParent(&form);
    dialogs.setParent(&form);
    // Disk images named on the command line join the drive list; the first is selected.
    std::vector<std::string> images;
    for (const QString& argument : QCoreApplication::arguments().mid(1))
        images.push_back(QFile::encodeName(argument).toStdString());
    if (!images.empty()) form.openImages(images);
    form.show();
    return QApplication::exec();
}
