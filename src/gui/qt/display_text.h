#pragma once
// Names and paths are the file system's bytes everywhere else; they become text only here, for
// the eye.
#include <QFile>
#include <QString>
#include <string_view>

namespace kesp {

inline QString displayText(std::string_view bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

} // namespace kesp
