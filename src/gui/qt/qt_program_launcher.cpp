#include "gui/qt/qt_program_launcher.h"

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace kesp {
namespace {

QString locate(const QString& program) {
    if (program.contains(QLatin1Char('/'))) {
        const QFileInfo info(program);
        return info.isFile() ? info.absoluteFilePath() : QString();
    }
    return QStandardPaths::findExecutable(program);
}

LaunchResult cannotStart(const QString& program, const QString& why) {
    return {kErrorCannotStart, ("Impossible de démarrer " + program + " : " + why).toStdString()};
}

} // namespace

LaunchResult QtProgramLauncher::start(
    const std::vector<std::string>& argv,
    std::function<void(int exitStatus, const std::string& stderrText)> finished) {
    if (argv.empty()) return cannotStart(QString(), "aucun programme");
    const QString name = QFile::decodeName(QByteArray::fromStdString(argv[0]));
    const QString program = locate(name);
    if (program.isEmpty()) return {kErrorFileNotFound, "Fichier introuvable"};
    QStringList arguments;
    for (std::size_t i = 1; i < argv.size(); ++i)
        arguments << QFile::decodeName(QByteArray::fromStdString(argv[i]));

    if (!finished) {
        QProcess process;
        process.setProgram(program);
        process.setArguments(arguments);
        process.setStandardInputFile(QProcess::nullDevice());
        if (!process.startDetached()) return cannotStart(name, process.errorString());
        return {};
    }

    auto* process = new QProcess;
    process->setProgram(program);
    process->setArguments(arguments);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process,
                     [process, running = running_,
                      finished = std::move(finished)](int code, QProcess::ExitStatus status) {
                         const std::string errors = process->readAllStandardError().toStdString();
                         process->deleteLater();
                         --*running;
                         finished(status == QProcess::NormalExit ? code : -1, errors);
                     });
    process->start();
    // Waits for the exec only, never for the program to end.
    if (!process->waitForStarted()) {
        const LaunchResult result = cannotStart(name, process->errorString());
        delete process;
        return result;
    }
    ++*running_;
    return {};
}

LaunchResult QtProgramLauncher::startWatched(
    const std::vector<std::string>& argv, int windowMs,
    std::function<void(int exitStatus, const std::string& stderrText)> failed) {
    auto clock = std::make_shared<QElapsedTimer>();
    LaunchResult result = start(
        argv, [clock, windowMs, failed = std::move(failed)](int status, const std::string& errors) {
            if (status != 0 && clock->elapsed() <= windowMs) failed(status, errors);
        });
    clock->start();
    return result;
}

bool QtProgramLauncher::openWithDesktop(const std::string& pathOrAddress) {
    const QString text = QFile::decodeName(QByteArray::fromStdString(pathOrAddress));
    const QUrl url = text.startsWith(QLatin1Char('/')) ? QUrl::fromLocalFile(text)
                                                       : QUrl(text, QUrl::TolerantMode);
    return QDesktopServices::openUrl(url);
}

} // namespace kesp
