#pragma once
// Where a written file lives until it is complete: a temporary file
// "new_avi-XXXXXX.tmp" in the destination's own folder (so the final rename
// never crosses file systems), renamed over the destination at the end.
// Until then an existing destination stays as it was. The temporary is
// created exclusively, readable only by its owner, and written through the
// one descriptor it was created with (see app::AtomicFileWriter), so a link
// planted in a shared destination folder is never followed.
#include <string>

#include "app/file_io.h"

namespace klemora::output {

class TemporaryOutput {
public:
    explicit TemporaryOutput(std::string destination);
    // The destructor removes the temporary file unless it was renamed.

    // Creates the temporary file beside the destination. False (and
    // errno-style lastError) when the folder cannot take a file.
    bool create();
    // The descriptor to write through, from create() to commit() or remove();
    // it stays ours: the writer must not close it.
    int fd() const { return m_file.fd(); }
    const std::string& path() const { return m_file.temporaryPath(); }
    const std::string& destination() const { return m_file.destination(); }

    // Gives the file its final mode, syncs it, renames it to the destination
    // (replacing it) and syncs the folder. False with lastError when that
    // fails; the temporary file is then removed.
    bool commit();
    void remove();
    int lastError() const { return m_file.lastError(); }

private:
    app::AtomicFileWriter m_file;
};

}  // namespace klemora::output
