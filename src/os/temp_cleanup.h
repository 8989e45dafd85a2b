#pragma once
// The shutdown's clean-up of the temporary folder: deletion by a file-name pattern.
#include <string>

namespace kesp {

// Deletes, in `dossier`, every regular file named "~qk*.tmp" that belongs to this user.
// Symbolic links (even to such a file), folders and, on POSIX, other users' files are left alone;
// in a shared folder like /tmp nothing planted there can make it delete anything else. A file
// another running instance holds (OutputFiles::hold) is left too. Errors are ignored. Returns
// how many files were deleted.
int SupprimerFichiersTemporaires(const std::string& dossier);

} // namespace kesp
