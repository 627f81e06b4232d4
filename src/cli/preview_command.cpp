// preview: pictures of a level file, or of each level of a DOS level pack, as PNG files.
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/printing_user_interface.h"
#include "common/windows1252.h"
#include "host/file_io.h"
#include "levelfile/level_pack.h"
#include "preview/level_preview.h"
#include "preview/png_file.h"

#include <charconv>
#include <iostream>

namespace quillfen::cli {
namespace {

// A whole number from 1 up, as an option's value.
std::optional<int> positive(const std::string& text) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1)
        return std::nullopt;
    return value;
}

} // namespace

int previewCommand(const Args& args) {
    auto line = parseCommandLine(
        args, 1, {{"--graphics", true}, {"--out", true}, {"--scale", true}, {"--width", true}});
    if (!line || (line->has("--scale") && line->has("--width")))
        return kUsage;
    std::optional<int> scale = line->has("--scale") ? positive(line->value("--scale")) : 1;
    std::optional<int> width = line->has("--width") ? positive(line->value("--width")) : 0;
    if (!scale || !width)
        return kUsage;
    const std::string& path = line->words[0];

    EditorSession session(openStore(*line));
    preview::GameGraphics graphics;
    auto levels = preview::previewFile(path, graphics,
                                       session.editor.graphicsPlaces(line->values("--graphics")));
    if (!levels)
        return refuse(levels.error());

    const std::string name = fileNameOf(path);
    for (const preview::LevelPreview& level : *levels) {
        // A pack's pictures go into the --out folder, a level's picture is the --out file.
        std::string out = level.section
                              ? pathIn(line->value("--out", "."),
                                       levelfile::sectionFileName(name, *level.section, ".png"))
                              : line->value("--out", stemOf(name) + ".png");
        // The default name of a level's picture is the level's own when it ends in .png.
        if (auto same = sameFile(out, path); same && *same)
            return refuse("ERROR: could not write " + out +
                          ": it is the file being drawn; nothing was written");
        preview::LevelPicture picture = level.draw();
        int shrunk = *width != 0 ? *width : std::max(1, picture.image.width / *scale);
        if (auto written = preview::writePng(out, preview::thumbnail(picture.image, shrunk));
            !written)
            return refuse(written.error());
        std::cout << out << "\n";
        if (!picture.note.empty())
            std::cerr << "WARNING: " << out << ": " << picture.note << "\n";
    }
    return kDone;
}

} // namespace quillfen::cli
