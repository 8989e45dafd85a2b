#pragma once
// Byte-for-byte copies that never leave a half-written file under the destination's name.
#include <optional>
#include <string>

namespace kesp {

struct CopyError {
    std::string file;   // the file that could not be read or written
    std::string reason; // the system's words
    bool reading = false;
};

// A complete copy in a temporary file beside its destination, not yet in place. Removed when
// dropped without commit().
class StagedCopy {
public:
    // Reads `source` whole into the temporary file and flushes it to disk. A destination name
    // too long for its folder, or naming a folder, fails here rather than at the commit.
    static std::optional<StagedCopy> stage(const std::string& source,
                                           const std::string& destination, CopyError& error);
    // Renames the temporary file over the destination, replacing a file that exists.
    bool commit(CopyError& error);

    StagedCopy(StagedCopy&& other) noexcept;
    StagedCopy& operator=(StagedCopy&&) = delete;
    StagedCopy(const StagedCopy&) = delete;
    ~StagedCopy();

private:
    StagedCopy(std::string temporary, std::string destination);
    std::string temporary_;
    std::string destination_;
};

} // namespace kesp
