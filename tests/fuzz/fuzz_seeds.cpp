// Writes seeds of the fuzzers.
//   fuzz_seeds avi DIR:      small DV recordings from the fixture generator
//     (types 1 and 2, PAL and NTSC, OpenDML in one RIFF and in segments, two
//     takes, the damaged variants the generator knows), made at run time: a
//     DV frame alone is 120,000 bytes or more.
//   fuzz_seeds projects DIR: a two-scene project in every file version, the
//     committed corpus of the project reader.
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "scene/byte_cursor.h"
#include "scene/group_file.h"
#include "scene/group_tree.h"
#include "scene/scene_block.h"
#include "tests/fixtures/dv_fixture.h"

namespace {

using klemora::fixtures::DvFixtureOptions;

std::vector<std::pair<std::string, DvFixtureOptions>> seeds() {
    std::vector<std::pair<std::string, DvFixtureOptions>> out;
    auto add = [&](std::string name, DvFixtureOptions options) { out.emplace_back(std::move(name), options); };
    auto twoTakes = [](int type, bool ntsc) {
        DvFixtureOptions options = klemora::fixtures::singleSessionOptions(2, type, ntsc);
        options.sessions.push_back({klemora::scene::recordingTimeOf(2006, 7, 1, 11, 0, 0), 1, std::nullopt});
        return options;
    };
    add("type1_pal", twoTakes(1, false));
    add("type2_pal", twoTakes(2, false));
    add("type2_ntsc", twoTakes(2, true));
    DvFixtureOptions single = twoTakes(2, false);
    single.openDml = klemora::fixtures::OpenDmlLayout::Single;
    add("opendml_single", single);
    DvFixtureOptions segments = twoTakes(1, false);
    segments.openDml = klemora::fixtures::OpenDmlLayout::Segments;
    segments.riffSegmentBytes = 200000;
    add("opendml_segments", segments);
    DvFixtureOptions damaged = twoTakes(2, false);
    damaged.junkChunks = true;
    damaged.oddSizeChunk = true;
    damaged.wrongSizeChunks = {{1, 1000}};
    add("junk_odd_wrong_size", damaged);
    DvFixtureOptions noIndex = twoTakes(2, false);
    noIndex.writeIdx1 = false;
    noIndex.framesWithoutPacks = {{1, 1}};
    add("no_index_no_packs", noIndex);
    DvFixtureOptions header60 = twoTakes(2, false);
    header60.streamHeader60 = true;
    add("stream_header_60", header60);
    return out;
}

int writeAviSeeds(const std::string& dir) {
    for (const auto& [name, options] : seeds()) {
        std::string error;
        const std::string path = dir + "/" + name + ".avi";
        if (klemora::fixtures::writeDvAvi(path, options, nullptr, &error) != 1) {
            std::fprintf(stderr, "fuzz_seeds: %s: %s\n", path.c_str(), error.c_str());
            return 1;
        }
    }
    return 0;
}

void fillTwoScenes(klemora::scene::SceneList& list) {
    for (int i = 0; i < 2; ++i) {
        const int n = list.AddNewScene();
        list.setSourceFile(n, "/video/tape.avi");
        list.setDestName(n, i == 0 ? "first" : "second");
        list.setStartFrame(n, i * 50);
        list.setStopFrame(n, i * 50 + 49);
        list.setComment(n, "comment");
        list.setSpeedFactor(n, 1.0f);
    }
}

int writeProjectSeeds(const std::string& dir) {
    using namespace klemora::scene;
    int index = 0;
    for (const Signature& signature : projectSignatures()) {
        std::string out;
        appendFixedText(out, signature.text, kSignatureBytes);
        if (isGroupVersion(signature.version)) {
            GroupTree tree;
            fillTwoScenes(tree.root().list());
            const std::string whole = groupFileBytes(tree);
            out += whole.substr(kSignatureBytes);
        } else {
            SceneList list;
            fillTwoScenes(list);
            appendSceneBlock(out, list, signature.version);
        }
        const std::string path = dir + "/v" + std::to_string(static_cast<int>(signature.version)) + "_" +
                                 std::to_string(++index) + ".scn";
        std::ofstream(path, std::ios::binary) << out;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view mode = argc == 3 ? argv[1] : "";
    if (mode == "avi") return writeAviSeeds(argv[2]);
    if (mode == "projects") return writeProjectSeeds(argv[2]);
    std::fprintf(stderr, "usage: fuzz_seeds avi|projects DIR\n");
    return 2;
}
