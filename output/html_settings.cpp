#include "output/html_settings.h"

#include "app/file_io.h"
#include "app/paths.h"

namespace klemora::output {
namespace {

constexpr std::string_view kStoredLineBreak = "+nr+";

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    size_t pos = 0;
    for (size_t hit; (hit = text.find(from, pos)) != std::string_view::npos; pos = hit + from.size()) {
        out.append(text.substr(pos, hit - pos));
        out.append(to);
    }
    out.append(text.substr(pos));
    return out;
}

}  // namespace

int presetIndexOf(int32_t width, int32_t height) {
    for (size_t i = 0; i < kPictureSizePresets.size(); ++i)
        if (kPictureSizePresets[i].width == width && kPictureSizePresets[i].height == height)
            return static_cast<int>(i);
    return kCustomPreset;
}

HtmlIndexSettings loadHtmlIndexSettings(const app::SettingsStore& store) {
    HtmlIndexSettings values;
    values.pictureWidth = store.readInt("HtmlPicSzX", 192);
    values.pictureHeight = store.readInt("HtmlPicSzY", 144);
    values.presetIndex = store.readInt("HtmlPresetNr", kDefaultPreset);
    if (values.presetIndex > 4) values.presetIndex = kDefaultPreset;
    values.destinationFolder = store.readText("HtmlDstPath", "");
    values.comment = commentFromSetting(store.readText("HtmlComment", ""));
    values.columns = store.readInt("HtmlColumnCount", 1);
    values.templateName = store.readText("HtmlTemplateName", "");
    values.templateFolder = store.readText("HtmlTemplatePath", defaultTemplateFolder());
    return values;
}

void storeDialogSettings(const app::SettingsStore& store, const HtmlIndexSettings& values) {
    store.writeInt("HtmlPresetNr", values.presetIndex);
    store.writeInt("HtmlPicSzX", values.pictureWidth);
    store.writeInt("HtmlPicSzY", values.pictureHeight);
    store.writeText("HtmlDstPath", values.destinationFolder);
    store.writeInt("HtmlColumnCount", values.columns);
    store.writeText("HtmlComment", commentToSetting(values.comment));
}

void storeGenerationSettings(const app::SettingsStore& store, const HtmlIndexSettings& values,
                             const std::string& mainFile) {
    store.writeInt("HtmlPreset", values.presetIndex);
    store.writeInt("HtmlPicSzX", values.pictureWidth);
    store.writeInt("HtmlPicSzY", values.pictureHeight);
    store.writeText("HtmlDstPath", app::directoryOf(mainFile));
}

void storeTemplateChoice(const app::SettingsStore& store, const std::string& templatePath) {
    std::string folder = app::directoryOf(templatePath);
    store.writeText("HtmlTemplatePath", folder.empty() ? folder : folder + "/");
    store.writeText("HtmlTemplateName", templatePath);
}

std::string defaultTemplateFolder() { return app::programFolder() + "/Templates/"; }

std::string templatePathFor(const std::string& name) {
    if (name.empty()) return defaultTemplateFolder() + std::string(kStandardTemplateName);
    if (name.find_first_of("/\\") == std::string::npos) return defaultTemplateFolder() + name;
    return name;
}

// Any line end becomes "+nr+": a bare line feed would end the settings line.
std::string commentToSetting(std::string_view comment) {
    std::string lines = replaceAll(replaceAll(comment, "\r\n", "\n"), "\r", "\n");
    return replaceAll(lines, "\n", kStoredLineBreak);
}

std::string commentFromSetting(std::string_view stored) { return replaceAll(stored, kStoredLineBreak, "\r\n"); }

}  // namespace klemora::output
