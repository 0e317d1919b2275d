#pragma once
// Where a written file lives until it is complete: a temporary file in the
// destination's own folder (so the final rename never crosses file
// systems), renamed over the destination at the end. Until then an
// existing destination stays as it was.
#include <string>

namespace klemora::output {

class TemporaryOutput {
public:
    explicit TemporaryOutput(std::string destination) : m_destination(std::move(destination)) {}
    ~TemporaryOutput();  // removes the temporary file unless it was renamed
    TemporaryOutput(const TemporaryOutput&) = delete;
    TemporaryOutput& operator=(const TemporaryOutput&) = delete;

    // Finds a free name "new_avi-XXXXXX.tmp" beside the destination for the
    // writer to create. False (and errno-style lastError) when the folder
    // cannot take a file.
    bool create();
    const std::string& path() const { return m_path; }
    const std::string& destination() const { return m_destination; }

    // Renames the temporary file to the destination (replacing it) and
    // syncs the folder. False with lastError when the rename fails; the
    // temporary file is then removed.
    bool commit();
    void remove();
    int lastError() const { return m_error; }

private:
    std::string m_destination;
    std::string m_path;
    int m_error = 0;
};

}  // namespace klemora::output
