#pragma once
// The values of the scene-index dialog as the settings keep them, and the
// picture size presets.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/settings_store.h"

namespace klemora::output {

struct PictureSize {
    int32_t width;
    int32_t height;
};

// "48 x 36", "96 x 72", "192 x 144", "384 x 288", "768 x 576".
inline constexpr std::array<PictureSize, 5> kPictureSizePresets{{{48, 36}, {96, 72}, {192, 144}, {384, 288}, {768, 576}}};
inline constexpr int kDefaultPreset = 2;
inline constexpr int kCustomPreset = -1;  // a size typed in by hand

// The preset of this size, or kCustomPreset.
int presetIndexOf(int32_t width, int32_t height);

struct HtmlIndexSettings {
    int32_t pictureWidth = 192;   // "HtmlPicSzX"
    int32_t pictureHeight = 144;  // "HtmlPicSzY"
    int presetIndex = kDefaultPreset;  // "HtmlPresetNr"; above 4 read as 2
    std::string destinationFolder;     // "HtmlDstPath"
    std::string comment;               // "HtmlComment", line breaks "\r\n"
    int columns = 1;                   // "HtmlColumnCount"
    std::string templateName;          // "HtmlTemplateName": the .tpl file's full path
    std::string templateFolder;        // "HtmlTemplatePath", with a trailing "/"
};

HtmlIndexSettings loadHtmlIndexSettings(const app::SettingsStore& store);
// What the dialog stores when it closes: preset, size, destination folder,
// column count and comment.
void storeDialogSettings(const app::SettingsStore& store, const HtmlIndexSettings& values);
// What a generation stores: "HtmlPreset", the size and the folder of the
// main file as "HtmlDstPath".
void storeGenerationSettings(const app::SettingsStore& store, const HtmlIndexSettings& values,
                             const std::string& mainFile);
// A chosen template: its folder as "HtmlTemplatePath", its path as "HtmlTemplateName".
void storeTemplateChoice(const app::SettingsStore& store, const std::string& templatePath);

// The template folder beside the program, "<program folder>/Templates/".
std::string defaultTemplateFolder();

// The template that comes with the program, used while none is chosen.
inline constexpr std::string_view kStandardTemplateName = "Standard.tpl";

// A template named without a folder ("Compact.tpl") is one of the program's
// template folder; a path with a folder part is taken as it is; an empty
// name is the standard template.
std::string templatePathFor(const std::string& name);

// A comment's line breaks are kept in the settings as "+nr+".
std::string commentToSetting(std::string_view comment);
std::string commentFromSetting(std::string_view stored);

}  // namespace klemora::output
