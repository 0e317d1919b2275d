#pragma once
// A scene row for the editing tests: source, frames, its defined range equal
// to its frames, and a comment.
#include <gtest/gtest.h>

#include <string_view>

#include "scene/scene_list.h"

namespace klemora::test {

inline int addEditableScene(scene::SceneList& list, std::string_view source, int32_t start, int32_t stop,
                            std::string_view comment = "") {
    int i = list.AddNewScene();
    EXPECT_GE(i, 0);
    list.setSourceFile(i, source);
    list.setStartFrame(i, start);
    list.setStopFrame(i, stop);
    list.setDefinedStart(i, start);
    list.setDefinedStop(i, stop);
    list.setComment(i, comment);
    return i;
}

}  // namespace klemora::test
