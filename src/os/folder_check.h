#pragma once
// What a name given as the folder to scan designates on the host.
#include <string>

namespace kesp {

enum class PathKind {
    Folder,
    NotFolder,   // exists, but is a file or a block device: what an image can be read from
    Special,     // exists, but is a FIFO, a socket or a character device
    Missing,     // nothing under that name
    Unreachable, // could not be asked: name too long, access refused, a mount that fails ...
};

struct PathCheck {
    PathKind kind = PathKind::Missing;
    std::string reason; // the system's words, for Unreachable
};

PathCheck checkFolder(const std::string& path);

} // namespace kesp
