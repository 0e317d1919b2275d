#include "output/write_result.h"

namespace klemora::output {

std::string_view writeSceneResultName(int code) {
    switch (static_cast<WriteSceneResult>(code)) {
        case WriteSceneResult::Ok: return "Ok";
        case WriteSceneResult::TooShort: return "TooShort";
        case WriteSceneResult::CreateFailed: return "CreateFailed";
        case WriteSceneResult::CopyFailed: return "CopyFailed";
        case WriteSceneResult::FinishFailed: return "FinishFailed";
        case WriteSceneResult::RenameFailed: return "RenameFailed";
        case WriteSceneResult::SourceUnreadable: return "SourceUnreadable";
        case WriteSceneResult::NoVideoStream: return "NoVideoStream";
        case WriteSceneResult::SpeedNeedsKeyFrames: return "SpeedNeedsKeyFrames";
        case WriteSceneResult::OutOfMemory: return "OutOfMemory";
        case WriteSceneResult::SourceShort: return "SourceShort";
        case WriteSceneResult::StartNotKeyFrame: return "StartNotKeyFrame";
        case WriteSceneResult::DestinationIsSource: return "DestinationIsSource";
    }
    return "Unknown";
}

std::string_view writeScenesResultName(int code) {
    switch (static_cast<WriteScenesResult>(code)) {
        case WriteScenesResult::Ok: return "Ok";
        case WriteScenesResult::NameFailed: return "NameFailed";
        case WriteScenesResult::NameTooLong: return "NameTooLong";
        case WriteScenesResult::OverwriteDeclined: return "OverwriteDeclined";
        case WriteScenesResult::WriteFailed: return "WriteFailed";
        case WriteScenesResult::FileDatesFailed: return "FileDatesFailed";
        case WriteScenesResult::NamesCollide: return "NamesCollide";
        case WriteScenesResult::StoppedAfterNameError: return "StoppedAfterNameError";
    }
    return "Unknown";
}

std::string_view fileDateResultName(int code) {
    switch (static_cast<FileDateResult>(code)) {
        case FileDateResult::Ok: return "Ok";
        case FileDateResult::EmptyPath: return "EmptyPath";
        case FileDateResult::NoDate: return "NoDate";
        case FileDateResult::StatusFailed: return "StatusFailed";
    }
    return "Unknown";
}

}  // namespace klemora::output
