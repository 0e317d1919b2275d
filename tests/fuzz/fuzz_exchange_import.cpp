// CSV and EDL imports over memory. The source check after a successful import
// looks for files named in the input; the probe answers without touching them.
#include <string_view>

#include "app/ui.h"
#include "scene/csv_import.h"
#include "scene/edl_import.h"
#include "scene/text_lines.h"
#include "tests/fuzz/fuzz_entries.h"

namespace klemora::fuzz {
namespace {

class NoProbe : public scene::SourceProbe {
public:
    int probe(const std::string&, scene::SourceFacts& facts) override {
        facts.frameCount = 1000;
        return 1;
    }
};

using Import = int (*)(scene::SceneList&, scene::TextLineReader&, const std::string&, scene::SourceProbe&,
                       scene::SourceSearch&, app::UserInterface&);

int runImport(Import import, const uint8_t* data, size_t size) {
    scene::TextLineReader lines(std::string_view(reinterpret_cast<const char*>(data), size));
    scene::SceneList list;
    NoProbe probe;
    scene::SourceSearch search;
    app::SilentUserInterface ui;
    import(list, lines, "/nonexistent/fuzz.txt", probe, search, ui);
    return 0;
}

}  // namespace

int fuzzCsvImport(const uint8_t* data, size_t size) { return runImport(scene::importCsv, data, size); }
int fuzzEdlImport(const uint8_t* data, size_t size) { return runImport(scene::importVegasEdl, data, size); }

}  // namespace klemora::fuzz
