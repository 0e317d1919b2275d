#pragma once
// The source facts a loaded project or an import needs: AVI files through
// the AVI reader, everything else through the media probe.
#include <string>
#include <utility>

#include "app/debug_log.h"
#include "app/ui.h"
#include "scene/source_check.h"

namespace klemora::media {

class MediaSourceProbe : public scene::SourceProbe {
public:
    // Messages of the media probe go to `ui`.
    // `fixRatio`: the "FixRatio" setting of the run, for files that are no
    // AVI; `log`: the run's debug log.
    explicit MediaSourceProbe(app::UserInterface& ui, std::string fixRatio = {}, app::DebugLog log = {})
        : m_ui(ui), m_fixRatio(std::move(fixRatio)), m_log(std::move(log)) {}
    int probe(const std::string& path, scene::SourceFacts& facts) override;

private:
    app::UserInterface& m_ui;
    std::string m_fixRatio;
    app::DebugLog m_log;
};

}  // namespace klemora::media
