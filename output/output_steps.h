#pragma once
// The steps both scene writers take around the copy: creating the
// temporary output, reporting a failed copy, and closing and renaming the
// finished file. Each shows its own failure message ("WriteScene" or
// "WriteScenesToOneFile") and returns the step code.
#include <cstdint>
#include <string>
#include <string_view>

#include "avi/avi_writer.h"
#include "output/output_file.h"
#include "output/scene_copy.h"
#include "output/write_context.h"

namespace klemora::output {

// 1, or CreateFailed.
int beginOutput(TemporaryOutput& output, avi::AviWriter& writer, const avi::AviLayout& layout,
                const WriteContext& context, std::string_view operation);
// CopyFailed after its message; the writer's file is removed.
int failCopy(avi::AviWriter& writer, const CopyOutcome& outcome, WriteContext& context, std::string_view operation);
// SourceShort after its message (802); the writer's file is removed, so the
// short result never gets the destination's name.
int failShortSource(avi::AviWriter& writer, const std::string& sourcePath, int64_t delivered, int64_t wanted,
                    WriteContext& context);
// The scene against the end of its file (`range` from sceneRangeIn):
// TooShort after 803 when none of its frames exist, else 1, after 804 when
// it was cut to the frames that do.
int checkSceneInFile(app::UserInterface& ui, const std::string& sourcePath, int32_t startFrame, int32_t stopFrame,
                     int32_t frameCount, const SceneRange& range);
// True (after 800) when the destination is one of the run's sources.
bool refuseSourceAsDestination(const WriteContext& context, const std::string& destination);
// Finishes the file and gives it the destination's name: 1, FinishFailed
// or RenameFailed. The bar is set to its end and then back to 0.
int completeOutput(TemporaryOutput& output, avi::AviWriter& writer, WriteContext& context, std::string_view operation);

}  // namespace klemora::output
