#pragma once
// The source facts a loaded project or an import needs: AVI files through
// the AVI reader, everything else through the media probe.
#include "app/ui.h"
#include "scene/source_check.h"

namespace klemora::media {

class MediaSourceProbe : public scene::SourceProbe {
public:
    // Messages of the media probe go to `ui`.
    explicit MediaSourceProbe(app::UserInterface& ui) : m_ui(ui) {}
    int probe(const std::string& path, scene::SourceFacts& facts) override;

private:
    app::UserInterface& m_ui;
};

}  // namespace klemora::media
