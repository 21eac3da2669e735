#pragma once

#include <string>
#include <string_view>
#include <vector>

class DiskImage;

inline constexpr int kMaxTreeNodes = 1000; // "root" included

struct DirTreeNode {
    std::string name; // raw Shift-JIS bytes of the entry's name; "root" for node 0
    int dirSector = 0;
    int parent = -1; // index of the parent node; -1 for the root
    int depth = 0;   // 0 for the root
};

// The directory hierarchy from the root at sector 16, depth first in directory order, with
// "." and ".." entries skipped. Node 0 is the root. The walk stops at kMaxTreeNodes nodes;
// *stoppedAtLimit (when given) tells whether it did, which is how cycles end.
//
// A DIR entry whose 8 sectors do not all lie inside the image still gets its node (the user
// sees the entry) but is not read: there is nothing of it on the disk to descend into.
std::vector<DirTreeNode> WalkDirTree(const DiskImage& disk, bool* stoppedAtLimit = nullptr);

// The directory sector of a path of names (Shift-JIS bytes) joined by "/", relative to the
// root; empty components are ignored, so "" and "/" are the root. At each level the first
// node the walk met with that name wins. Returns -1 when a name is not found.
int ResolveDirPath(const std::vector<DirTreeNode>& tree, std::string_view path);
int ResolveDirPath(const DiskImage& disk, std::string_view path);
