#include "os/text_encoding.h"

#include <windows.h>

namespace kesp {

std::string legacyCodePageNotice() {
    const UINT codePage = GetACP();
    if (codePage == CP_UTF8) return {};
    return "Windows ignore ici la page de code UTF-8 du programme (Windows 10 version 1903 ou "
           "ultérieure requis) : les noms hors de la page de code " +
           std::to_string(codePage) + " ne peuvent être lus et leurs dossiers seront signalés.";
}

} // namespace kesp
