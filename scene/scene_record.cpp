#include "scene/scene_record.h"

namespace klemora::scene {

std::string_view dvTypeText(int32_t dvType) {
    switch (dvType) {
    case 0: return "No DV, ";
    case 1: return "DV-Type1, ";
    case 2: return "DV-Type2, ";
    default: return "Unknown Type, ";
    }
}

std::string_view openDmlKindText(int32_t kind) {
    switch (kind) {
    case 0: return "No OpenDML";
    case 1: return "OpenDML";
    case 2: return "Strict OpenDML";
    default: return "Unknown Type";
    }
}

}  // namespace klemora::scene
