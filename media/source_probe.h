#pragma once
// The source facts a loaded project or an import needs: AVI files through
// the AVI reader, everything else through the media probe.
#include <string>
#include <utility>

#include "app/ui.h"
#include "scene/source_check.h"

namespace klemora::media {

class MediaSourceProbe : public scene::SourceProbe {
public:
    // Messages of the media probe go to `ui`.
    // `fixRatio`: the "FixRatio" setting of the run, for files that are no AVI.
    explicit MediaSourceProbe(app::UserInterface& ui, std::string fixRatio = {})
        : m_ui(ui), m_fixRatio(std::move(fixRatio)) {}
    int probe(const std::string& path, scene::SourceFacts& facts) override;

private:
    app::UserInterface& m_ui;
    std::string m_fixRatio;
};

}  // namespace klemora::media
