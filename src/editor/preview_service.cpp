#include "editor/preview_service.h"

#include "common/windows1252.h"
#include "editor/window_menus.h"
#include "host/file_io.h"
#include "levelfile/level_file.h"
#include "preview/level_layout.h"
#include "preview/level_render.h"

#include <utility>

namespace quillfen {
namespace {

std::string setName(unsigned set) {
    if (set >= preview::kGraphicsSets)
        return levelfile::notAGraphicsSet(set);
    return "graphics set " + std::to_string(set) + " (" + preview::kGraphicsSetNames[set] + ")";
}

std::vector<std::string> factsOf(const levelfile::LevelInfo& level) {
    std::string title = level.title;
    title.erase(title.find_last_not_of(' ') + 1);
    title.erase(0, title.find_first_not_of(' '));
    return {windows1252ToUtf8(title),
            std::to_string(level.counts[0]) + " lemmings, " + std::to_string(level.toRescue) +
                " to rescue, release rate " + std::to_string(level.releaseRate) + ", " +
                std::to_string(level.minutes) + " minutes",
            setName(level.graphicsSet)};
}

} // namespace

LevelPreviewShown previewLevel(const std::string& hostPath, preview::GameGraphics& graphics,
                               preview::GraphicsPlaces places, int width) {
    LevelPreviewShown shown;
    shown.file = hostPath;
    if (hostPath.empty())
        return shown;
    auto bytes = readWholeFile(hostPath, levelfile::kLargestLevelRead);
    if (!bytes) {
        shown.note = explained(levelfile::kCannotReadLevelFile, bytes.error());
        return shown;
    }
    auto level = levelfile::readLevelBytes(*bytes);
    if (!level) {
        shown.note = levelfile::notALevelFile(fileNameOf(hostPath), level.error());
        return shown;
    }
    shown.facts = factsOf(*level);

    places.levelFile = hostPath;
    auto set = graphics.find(level->graphicsSet, places);
    if (!set) {
        shown.reason = set.error();
        shown.note = set.error().starts_with(preview::kNoGraphicsFound)
                         ? "no graphics found for " + setName(level->graphicsSet) +
                               ": choose the game's folder with " + window::kOptionsMenu + " > " +
                               window::kGameFolder
                         : set.error();
        return shown;
    }
    preview::LevelPicture picture = preview::renderLevel(preview::readLayout(*bytes), **set);
    shown.note = std::move(picture.note);
    shown.thumbnail = preview::thumbnail(picture.image, width);
    shown.picture = std::move(picture.image);
    return shown;
}

PreviewService::PreviewService(std::function<void()> ready)
    : worker_(
          [this](Request& request) {
              // The worker thread: it reads level files and the game's graphics and owns
              // graphics_; it never touches the document, the tree or a window.
              if (request.forget)
                  graphics_ = preview::GameGraphics();
              return previewLevel(request.path, graphics_, std::move(request.places),
                                  request.width);
          },
          std::move(ready)) {}

void PreviewService::show(const std::string& hostPath, const preview::GraphicsPlaces& places,
                          int width) {
    worker_.ask({hostPath, places, width, std::exchange(forget_, false)});
}

void PreviewService::forgetGraphics() {
    forget_ = true;
}

std::optional<LevelPreviewShown> PreviewService::take() {
    return worker_.take();
}

} // namespace quillfen
