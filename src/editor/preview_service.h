#pragma once

#include "editor/latest_worker.h"
#include "preview/game_graphics.h"
#include "preview/image.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quillfen {

// What a window shows of one level file beside the tree: its picture and its facts.
struct LevelPreviewShown {
    std::string file;               // the host path asked for; empty: nothing is shown
    std::vector<std::string> facts; // lines: the title, the numbers, the graphics set
    preview::Image picture;         // at the graphics' own size; empty without graphics
    preview::Image thumbnail;       // the picture shrunk to the width asked for
    std::string note;               // one line: what the picture lacks, or why there is none
    std::string reason;             // the whole refusal behind the note (places searched)
};

// The preview of the level file at `hostPath` with its graphics found through `graphics` in
// `places` (its levelFile is taken to be `hostPath`), the thumbnail `width` pixels wide (0: the
// picture's own width). A file that cannot be read or is no Windows level file gives the
// refusal as its note; graphics that are not found give the facts and a note that says where
// to point the tool, damaged ones the refusal.
LevelPreviewShown previewLevel(const std::string& hostPath, preview::GameGraphics& graphics,
                               preview::GraphicsPlaces places, int width);

// Draws previews away from the window's thread, newest request first: decoding a set the first
// time takes longer than a click may keep the window waiting. A window asks with show() and,
// each time `ready` wakes it, takes the result on its own thread with take().
class PreviewService {
public:
    // `ready` runs on the worker thread when a preview is done: it only wakes the window's
    // thread (a queued call, a posted message).
    explicit PreviewService(std::function<void()> ready);

    // Asks for the preview of `hostPath` (empty: nothing); a request not yet begun is dropped.
    void show(const std::string& hostPath, const preview::GraphicsPlaces& places, int width);
    // The graphics are looked for afresh from the next request on, every folder listed again
    // and every set decoded again: the player has just pointed the tool at a folder, where the
    // game's files may have been put since they were last looked for. On the thread that
    // calls show().
    void forgetGraphics();
    // The preview of the newest request, once it is done; nothing before, and nothing for an
    // older request finished in the meantime.
    std::optional<LevelPreviewShown> take();

private:
    struct Request {
        std::string path;
        preview::GraphicsPlaces places;
        int width = 0;
        bool forget = false; // the graphics are looked for afresh first
    };

    bool forget_ = false;
    // Only the worker's job touches it: the graphics found and decoded, kept for the service's
    // life.
    preview::GameGraphics graphics_;
    LatestWorker<Request, LevelPreviewShown> worker_; // last: its job uses graphics_
};

} // namespace quillfen
