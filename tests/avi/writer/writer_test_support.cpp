#include "writer_test_support.h"

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <sstream>

extern "C" {
#include <libavutil/md5.h>
}

#include "app/file_io.h"
#include "tests/support/shell_command.h"

namespace klemora::test {
namespace {

constexpr int kMaxDepth = 8;

bool walkInto(const std::vector<uint8_t>& bytes, int64_t begin, int64_t end, int depth, std::vector<RiffNode>& out,
              std::string* error) {
    int64_t at = begin;
    while (at + 8 <= end) {
        RiffNode node;
        node.offset = at;
        node.id = le32(bytes, at);
        node.size = le32(bytes, at + 4);
        int64_t dataEnd = at + 8 + node.size;
        if (dataEnd > end) {
            if (error) *error = "chunk at " + std::to_string(at) + " runs past its parent";
            return false;
        }
        bool list = node.id == fourcc("RIFF") || node.id == fourcc("LIST");
        if (list) {
            if (node.size < 4 || depth >= kMaxDepth) {
                if (error) *error = "bad list at " + std::to_string(at);
                return false;
            }
            node.listType = le32(bytes, at + 8);
            if (!walkInto(bytes, at + 12, dataEnd, depth + 1, node.children, error)) return false;
        }
        out.push_back(std::move(node));
        at = dataEnd + (node.size % 2);
    }
    if (at != end && at != end + 1) {
        if (error) *error = "stray bytes at " + std::to_string(at);
        return false;
    }
    return true;
}

std::string fieldOf(const std::string& object, const std::string& key) {
    std::smatch match;
    std::regex pattern("\"" + key + "\": \"?([^\",\\n]*)\"?");
    return std::regex_search(object, match, pattern) ? match[1].str() : std::string();
}

}  // namespace

uint32_t fourcc(const char (&text)[5]) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(text[i]);
    return value;
}

bool RiffNode::isList(uint32_t type) const {
    return (id == fourcc("LIST") || id == fourcc("RIFF")) && listType == type;
}

const RiffNode* RiffNode::child(uint32_t wanted) const {
    for (const RiffNode& c : children)
        if (c.id == wanted) return &c;
    return nullptr;
}

const RiffNode* RiffNode::list(uint32_t type) const {
    for (const RiffNode& c : children)
        if (c.id == fourcc("LIST") && c.listType == type) return &c;
    return nullptr;
}

std::vector<const RiffNode*> RiffNode::all(uint32_t wanted) const {
    std::vector<const RiffNode*> found;
    for (const RiffNode& c : children)
        if (c.id == wanted) found.push_back(&c);
    return found;
}

std::vector<RiffNode> walkRiff(const std::vector<uint8_t>& bytes, std::string* error) {
    std::vector<RiffNode> top;
    if (!walkInto(bytes, 0, static_cast<int64_t>(bytes.size()), 0, top, error)) return {};
    return top;
}

std::vector<uint8_t> readBytes(const std::string& path) {
    auto text = app::readWholeFile(path);
    if (!text) return {};
    return std::vector<uint8_t>(text->begin(), text->end());
}

uint32_t le32(const std::vector<uint8_t>& bytes, int64_t offset) {
    if (offset < 0 || offset + 4 > static_cast<int64_t>(bytes.size())) return 0;
    const uint8_t* p = bytes.data() + offset;
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

uint64_t le64(const std::vector<uint8_t>& bytes, int64_t offset) {
    return static_cast<uint64_t>(le32(bytes, offset)) | static_cast<uint64_t>(le32(bytes, offset + 4)) << 32;
}

std::string md5Hex(const uint8_t* data, size_t size) {
    uint8_t digest[16];
    av_md5_sum(digest, data, size);
    char text[33];
    for (int i = 0; i < 16; ++i) std::snprintf(text + 2 * i, 3, "%02x", digest[i]);
    return text;
}

std::string shellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::optional<std::string> runCommand(const std::string& command) {
    ShellResult result = runShell(command);
    if (result.exitCode != 0) return std::nullopt;
    return std::move(result.output);
}

bool haveFfmpegTools() {
    static const bool have =
        std::system("command -v ffmpeg >/dev/null 2>&1 && command -v ffprobe >/dev/null 2>&1") == 0;
    return have;
}

std::optional<std::vector<ProbedStream>> probeStreams(const std::string& path) {
    auto json = runCommand("ffprobe -v error -count_frames -show_entries "
                           "stream=codec_type,nb_read_frames,codec_tag_string,r_frame_rate,sample_rate -of json " +
                           shellQuote(path));
    if (!json) return std::nullopt;
    std::vector<ProbedStream> streams;
    size_t at = json->find("\"streams\"");
    while (at != std::string::npos && (at = json->find('{', at)) != std::string::npos) {
        size_t end = json->find('}', at);
        if (end == std::string::npos) break;
        std::string object = json->substr(at, end - at);
        ProbedStream stream;
        stream.codecType = fieldOf(object, "codec_type");
        stream.codecTag = fieldOf(object, "codec_tag_string");
        stream.frameRate = fieldOf(object, "r_frame_rate");
        stream.sampleRate = fieldOf(object, "sample_rate");
        std::string frames = fieldOf(object, "nb_read_frames");
        if (!frames.empty()) stream.readFrames = std::atoll(frames.c_str());
        streams.push_back(stream);
        at = end;
    }
    return streams;
}

std::vector<std::string> videoPacketMd5s(const std::string& path) {
    auto text = runCommand("ffmpeg -v error -i " + shellQuote(path) + " -map 0:v:0 -c copy -f framemd5 -");
    std::vector<std::string> sums;
    if (!text) return sums;
    std::istringstream lines(*text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#') continue;
        size_t comma = line.rfind(',');
        if (comma == std::string::npos) continue;
        size_t start = line.find_first_not_of(' ', comma + 1);
        sums.push_back(line.substr(start));
    }
    return sums;
}

std::string audioStreamMd5(const std::string& path) {
    auto text = runCommand("ffmpeg -v error -i " + shellQuote(path) + " -map 0:a:0 -c copy -f md5 -");
    if (!text || text->rfind("MD5=", 0) != 0) return {};
    return text->substr(4, 32);
}

std::vector<std::vector<uint8_t>> encodeDvFrames(const std::string& folder, bool pal, int frames, bool withAudio) {
    if (!haveFfmpegTools()) return {};
    std::string out = folder + (pal ? "/pal" : "/ntsc") + (withAudio ? "_a" : "") + ".dv";
    std::string video = pal ? "testsrc=size=720x576:rate=25" : "testsrc=size=720x480:rate=30000/1001";
    std::string command = "ffmpeg -v error -y -f lavfi -i " + video;
    if (withAudio) command += " -f lavfi -i sine=frequency=1000:sample_rate=48000 -ac 2 -c:a pcm_s16le";
    // The DV muxer refuses to end on a frame without its audio, so sound is cut by time.
    char duration[32];
    std::snprintf(duration, sizeof duration, "%.4f", frames * (pal ? 0.04 : 1001.0 / 30000.0));
    command += withAudio ? std::string(" -t ") + duration : " -frames:v " + std::to_string(frames);
    command += " -c:v dvvideo -pix_fmt " +
               std::string(pal ? "yuv420p" : "yuv411p") + " -f dv " + shellQuote(out) + " 2>&1";
    if (!runCommand(command)) return {};
    std::vector<uint8_t> bytes = readBytes(out);
    size_t frameSize = pal ? 144000 : 120000;
    std::vector<std::vector<uint8_t>> result;
    for (size_t at = 0; at + frameSize <= bytes.size() && result.size() < static_cast<size_t>(frames); at += frameSize)
        result.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                            bytes.begin() + static_cast<std::ptrdiff_t>(at + frameSize));
    return result;
}

std::vector<uint8_t> pcmChunk(int index, size_t bytes) {
    std::vector<uint8_t> data(bytes);
    for (size_t i = 0; i < bytes; ++i) data[i] = static_cast<uint8_t>((i * 7 + static_cast<size_t>(index) * 13) & 0xFF);
    return data;
}

}  // namespace klemora::test
