#pragma once
// The four 32 x 32 frames of the About animation, drawn in the 16-colour palette: a yellow face
// with a straight mouth (1), smiling (2), laughing with an open red mouth (3 and 4).
#include <QPixmap>

namespace kesp {

inline constexpr int kNombreImages = 4;

// `index` from 1 to 4.
QPixmap ImageVisage(int index);

} // namespace kesp
