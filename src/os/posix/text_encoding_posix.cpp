#include "os/text_encoding.h"

namespace kesp {

// Names are bytes here, passed on untouched.
std::string legacyCodePageNotice() {
    return {};
}

} // namespace kesp
