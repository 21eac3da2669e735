#include "fs/DirTree.h"

#include <array>

#include "fs/DirEntry.h"
#include "fs/FileMode.h"
#include "image/Geometry.h"

namespace {

// One level of the walk in progress, in place of a recursive call, so that a chain of a
// thousand nested directories costs heap, not stack.
struct Frame {
    int node;
    int next = 0; // the entry index to look at next
    std::array<DirEntry, 64> entries;
};

} // namespace

std::vector<DirTreeNode> WalkDirTree(const DiskImage& disk, bool* stoppedAtLimit) {
    std::vector<DirTreeNode> nodes;
    nodes.push_back({"root", kRootDirSector, -1, 0});

    std::vector<Frame> stack;
    stack.push_back({0, 0, ReadDirectory(disk, kRootDirSector)});
    bool full = false;

    while (!stack.empty() && !full) {
        Frame& frame = stack.back();
        if (frame.next >= static_cast<int>(frame.entries.size())) {
            stack.pop_back();
            continue;
        }
        const DirEntry entry = frame.entries[frame.next++];
        if (entry.Mode() != FileMode::ToByte(FileModeCode::Dir))
            continue;
        std::string name = entry.NameText();
        if (IsDotName(name))
            continue;
        if (static_cast<int>(nodes.size()) >= kMaxTreeNodes) {
            full = true;
            break;
        }
        const int parent = frame.node;
        const int sector = entry.StartSector();
        nodes.push_back({std::move(name), sector, parent, nodes[parent].depth + 1});
        const int node = static_cast<int>(nodes.size()) - 1;
        // Reaching the limit stops the walk even when nothing more would have been found.
        if (static_cast<int>(nodes.size()) >= kMaxTreeNodes) {
            full = true;
            break;
        }
        if (DirectoryInImage(disk, sector))
            stack.push_back({node, 0, ReadDirectory(disk, sector)}); // invalidates `frame`
    }
    if (stoppedAtLimit)
        *stoppedAtLimit = full;
    return nodes;
}

int ResolveDirPath(const std::vector<DirTreeNode>& tree, std::string_view path) {
    if (tree.empty())
        return -1;
    int current = 0;
    std::size_t at = 0;
    while (at <= path.size()) {
        std::size_t slash = path.find('/', at);
        if (slash == std::string_view::npos)
            slash = path.size();
        std::string_view component = path.substr(at, slash - at);
        at = slash + 1;
        if (component.empty())
            continue;
        int found = -1;
        for (int n = current + 1; n < static_cast<int>(tree.size()); ++n) {
            if (tree[n].parent == current && tree[n].name == component) {
                found = n;
                break;
            }
        }
        if (found < 0)
            return -1;
        current = found;
    }
    return tree[current].dirSector;
}

int ResolveDirPath(const DiskImage& disk, std::string_view path) {
    return ResolveDirPath(WalkDirTree(disk), path);
}
