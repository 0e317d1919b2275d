#include "scene/edit_result.h"

namespace klemora::scene {

std::string_view editResultName(EditResult result) {
    switch (result) {
    case EditResult::Ok: return "Ok";
    case EditResult::NothingSelected: return "NothingSelected";
    case EditResult::BadSelection: return "BadSelection";
    case EditResult::OnlyOneAllowed: return "OnlyOneAllowed";
    case EditResult::DifferentSources: return "DifferentSources";
    case EditResult::Declined: return "Declined";
    case EditResult::OutOfMemory: return "OutOfMemory";
    case EditResult::TooManyScenes: return "TooManyScenes";
    case EditResult::InsertFailed: return "InsertFailed";
    case EditResult::EmptyTrash: return "EmptyTrash";
    case EditResult::BadInput: return "BadInput";
    case EditResult::RootGroup: return "RootGroup";
    case EditResult::NameTooLong: return "NameTooLong";
    case EditResult::NameEmpty: return "NameEmpty";
    case EditResult::InvalidTarget: return "InvalidTarget";
    }
    return "Unknown";
}

}  // namespace klemora::scene
