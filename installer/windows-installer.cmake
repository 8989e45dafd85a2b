# Builds the Windows installer and the portable zip from a Windows build's programs and help:
#   cmake -DBIN=<build>/bin -DOUT=<folder> -DVERSION=x.y.z -DSOURCE=<source tree>
#         [-DSTRIP=x86_64-w64-mingw32-strip] -P windows-installer.cmake
# giving OUT/kesp-VERSION-x64.msi and OUT/kesp-VERSION-x64.zip (a folder Kesp-VERSION holding the
# same three files), the programs without their debugging symbols when STRIP is given. wixl reads
# its sources relative to the current folder, so everything is staged first.
foreach(var BIN OUT VERSION SOURCE)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "windows-installer.cmake needs -D${var}=...")
    endif()
endforeach()
find_program(WIXL wixl REQUIRED)
find_program(MSIBUILD msibuild REQUIRED)

set(stage ${OUT}/stage)
set(portable Kesp-${VERSION})
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage}/${portable})
foreach(file kesp.exe kesp-scan.exe kespaide.mht)
    file(COPY ${BIN}/${file} DESTINATION ${stage}/${portable})
endforeach()
if(STRIP)
    execute_process(COMMAND ${STRIP} ${stage}/${portable}/kesp.exe ${stage}/${portable}/kesp-scan.exe
        RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${STRIP} failed (${status})")
    endif()
endif()
file(COPY ${SOURCE}/data/icons/kesp.ico DESTINATION ${stage})
set(PROJECT_VERSION ${VERSION})
set(KESP_ICON kesp.ico)
set(KESP_EXE ${portable}/kesp.exe)
set(KESP_SCAN_EXE ${portable}/kesp-scan.exe)
set(KESP_HELP ${portable}/kespaide.mht)
configure_file(${SOURCE}/installer/kesp.wxs.in ${stage}/kesp.wxs @ONLY)

set(msi ${OUT}/kesp-${VERSION}-x64.msi)
execute_process(COMMAND ${WIXL} -a x64 -o ${msi} kesp.wxs
    WORKING_DIRECTORY ${stage} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "wixl failed (${status})")
endif()
# The PATH entry, as WiX writes one for <Environment Part="first" System="yes"/>: the folder is
# put in front on install, and that part alone taken out on uninstall. In front rather than at
# the end: wine's installer takes an appended part out without its ';', and the two programs'
# names shadow nothing. The two actions sit where Windows Installer's standard sequence puts them.
execute_process(COMMAND ${MSIBUILD} ${msi}
    -q "CREATE TABLE `Environment` (`Environment` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL LOCALIZABLE, `Value` CHAR(255) LOCALIZABLE, `Component_` CHAR(72) NOT NULL PRIMARY KEY `Environment`)"
    -q "INSERT INTO `Environment` (`Environment`, `Name`, `Value`, `Component_`) VALUES ('CheminKesp', '=-*PATH', '[INSTALLDIR];[~]', 'CheminCommande')"
    -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('RemoveEnvironmentStrings', 3300)"
    -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('WriteEnvironmentStrings', 5200)"
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "msibuild failed (${status})")
endif()

set(zip ${OUT}/kesp-${VERSION}-x64.zip)
file(REMOVE ${zip})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip ${portable}
    WORKING_DIRECTORY ${stage} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the portable zip could not be made (${status})")
endif()
message(STATUS "Windows installer: ${msi}")
message(STATUS "portable zip: ${zip}")
