#include "editor/problem_rows.h"

#include "common/windows1252.h"

namespace quillfen::window {

std::vector<ProblemRow> problemRows(const LevelTree& tree,
                                    const std::vector<ProfileProblem>& problems) {
    std::vector<ProblemRow> rows;
    rows.reserve(problems.size());
    for (const ProfileProblem& p : problems) {
        const LevelTree::Node* node = p.key.empty() ? nullptr : tree.find(p.key);
        // The file as the player types it.
        rows.push_back({p.severity == ProblemSeverity::Error ? "error" : "note",
                        node ? windows1252ToUtf8(node->text()) : std::string(), p.key,
                        p.windowsFile, p.problem});
    }
    return rows;
}

} // namespace quillfen::window
