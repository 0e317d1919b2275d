#pragma once
// Results of the editing commands on the shown list, the trash and the group
// tree. Every refusal has already been shown to the user through the seam when
// one of these comes back; the caller only decides what to refresh.
#include <string_view>

namespace klemora::scene {

enum class EditResult : int {
    Ok = 1,
    NothingSelected = -1,   // 116, 170 or 174
    BadSelection = -2,      // 117 with the command's code
    OnlyOneAllowed = -3,    // 168
    DifferentSources = -4,  // 172
    Declined = -5,          // the user answered No or Cancel
    OutOfMemory = -6,       // 109
    TooManyScenes = -7,     // 140: the result would not fit into a list
    InsertFailed = -8,      // 113 with the failed call
    EmptyTrash = -9,        // 178
    BadInput = -10,         // 117: a dialog handed back values that do not fit the scene
    RootGroup = -11,        // 426
    NameTooLong = -12,      // group name of more than 250 characters
    NameEmpty = -13,        // empty group name
    InvalidTarget = -14,    // a group cannot move below itself or its own sub-groups
};

std::string_view editResultName(EditResult result);

}  // namespace klemora::scene
