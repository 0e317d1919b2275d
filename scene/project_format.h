#pragma once
// The .scn project format: a 60-byte signature line, then one scene block
// (flat files up to 2.3) or a tree of group blocks (3.0 and 3.1). Every
// version reads and writes through one record-layout table.
#include <cstdint>
#include <span>
#include <string_view>

namespace klemora::scene {

// Versions as two digits: 10 = 1.0 ... 31 = 3.1.
enum class ProjectVersion : int { V10 = 10, V20 = 20, V21 = 21, V22 = 22, V23 = 23, V30 = 30, V31 = 31 };

inline constexpr int kSignatureBytes = 60;  // 59 characters and a NUL
inline constexpr int kGroupNameBytes = 257;
inline constexpr std::string_view kGroupInTag = "GRP_IN##";
inline constexpr std::string_view kGroupOutTag = "GRP_OUT#";
inline constexpr std::string_view kSignatureV31 = "Klemora File v3.1 / scene project file, Klemora 2001-2009  ";
inline constexpr std::string_view kSignatureV23 = "Klemora File v2.3 / scene project file, Klemora 2001-2007  ";

struct Signature {
    std::string_view text;
    ProjectVersion version;
};
std::span<const Signature> projectSignatures();

// The version the first 60 bytes name (compared without regard to case over
// all 59 characters); false when none matches.
bool versionOfSignature(std::string_view first60, ProjectVersion& version);
bool isGroupVersion(ProjectVersion version);

enum class FieldKind { Text, Int32, Float64, RecordingTime, Timecode };
enum class RecordField {
    SourceFile, DestName, StartFrame, StopFrame, SpeedFactor, Comment,
    RecordingTime, DefinedStart, DefinedStop, Timecode, OkStatus
};

struct FieldLayout {
    RecordField field;
    int width;
    FieldKind kind;
    ProjectVersion firstVersion;
};

std::span<const FieldLayout> sceneRecordLayout();
int recordSize(ProjectVersion version);  // 530, 538, 1563, 1607, 1611, 1615

}  // namespace klemora::scene
