#include "os/win32/device_names.h"

namespace kesp {
namespace {

// CreateFile's limit for a folder's path (MAX_PATH less room for an 8.3 name); a file's is a
// little longer, and one prefix fits both.
constexpr std::size_t kShortPathLimit = 248;

} // namespace

bool isWin32DeviceName(std::string_view path) {
    return path.size() > 4 && path.starts_with("\\\\.\\");
}

std::wstring win32LongPathForm(std::wstring fullPath) {
    if (fullPath.size() < kShortPathLimit || fullPath.starts_with(L"\\\\?\\") ||
        fullPath.starts_with(L"\\\\.\\"))
        return fullPath;
    if (fullPath.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + fullPath.substr(2);
    return L"\\\\?\\" + fullPath;
}

std::string win32AccessRefusal(const std::string& path, const std::string& systemText) {
    if (isWin32DeviceName(path))
        return "lecture de " + path +
               " non autorisée : un périphérique ne se lit qu'avec les droits d'administrateur "
               "(clic droit sur Kesp, « Exécuter en tant qu'administrateur »)";
    return "lecture de " + path + " non autorisée : " + systemText;
}

std::string win32SharingRefusal(const std::string& path) {
    return "impossible de lire " + path +
           " : un autre programme l'a ouvert sans en permettre la lecture";
}

} // namespace kesp
