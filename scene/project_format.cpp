#include "scene/project_format.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace klemora::scene {

std::span<const Signature> projectSignatures() {
    static constexpr std::array<Signature, 12> kSignatures{{
        {"Quillobrant Scene File v1.0 / scene lists, Quillobrant 2001", ProjectVersion::V10},
        {"Quillobrant File v2.0 / scene lists, Quillobrant 2001-2003 ", ProjectVersion::V20},
        {"Quillobrant File v2.1 / scene lists, Quillobrant 2001-2003 ", ProjectVersion::V21},
        {"Quillobrant File v2.1 / scene lists, Quillobrant 2001-2004 ", ProjectVersion::V21},
        {"Quillobrant File v2.1 / scene lists, Quillobrant 2001-2005 ", ProjectVersion::V21},
        {"Quillobrant File v2.2 / scene lists, Quillobrant 2001-2005 ", ProjectVersion::V22},
        {"Quillobrant File v2.2 / scene lists, Quillobrant 2001-2006 ", ProjectVersion::V22},
        {"Klemora File v2.2 / scene project file, Klemora 2001-2007  ", ProjectVersion::V22},
        {"Quillobrant File v2.3 / scene lists, Quillobrant 2001-2006 ", ProjectVersion::V23},
        {kSignatureV23, ProjectVersion::V23},
        {"Klemora File v3.0 / scene project file, Klemora 2001-2008  ", ProjectVersion::V30},
        {kSignatureV31, ProjectVersion::V31},
    }};
    return kSignatures;
}

bool versionOfSignature(std::string_view first60, ProjectVersion& version) {
    std::string_view line = first60.substr(0, kSignatureBytes - 1);
    for (const Signature& s : projectSignatures()) {
        if (line.size() != s.text.size()) continue;
        bool same = std::equal(line.begin(), line.end(), s.text.begin(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        });
        if (same) {
            version = s.version;
            return true;
        }
    }
    return false;
}

bool isGroupVersion(ProjectVersion version) { return version >= ProjectVersion::V30; }

std::span<const FieldLayout> sceneRecordLayout() {
    using enum RecordField;
    static constexpr std::array<FieldLayout, 11> kLayout{{
        {SourceFile, 261, FieldKind::Text, ProjectVersion::V10},
        {DestName, 261, FieldKind::Text, ProjectVersion::V10},
        {StartFrame, 4, FieldKind::Int32, ProjectVersion::V10},
        {StopFrame, 4, FieldKind::Int32, ProjectVersion::V10},
        {SpeedFactor, 8, FieldKind::Float64, ProjectVersion::V20},
        {Comment, 1025, FieldKind::Text, ProjectVersion::V21},
        {RecordingTime, 36, FieldKind::RecordingTime, ProjectVersion::V22},
        {DefinedStart, 4, FieldKind::Int32, ProjectVersion::V22},
        {DefinedStop, 4, FieldKind::Int32, ProjectVersion::V22},
        {Timecode, 4, FieldKind::Timecode, ProjectVersion::V23},
        {OkStatus, 4, FieldKind::Int32, ProjectVersion::V31},
    }};
    return kLayout;
}

int recordSize(ProjectVersion version) {
    int size = 0;
    for (const FieldLayout& f : sceneRecordLayout())
        if (version >= f.firstVersion) size += f.width;
    return size;
}

}  // namespace klemora::scene
