#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

// Files the program puts into the user's own folders of its own accord (the desktop
// registration), where a file of the same name may be the user's: one is created only where
// nothing stands, and replaced or removed only when its content shows that it is still what
// the program wrote. A symbolic link, folder, FIFO or device at the path is never followed,
// replaced or removed.
class OwnedFile {
public:
    // Whether content is a file the program wrote and nobody changed since.
    using IsOurs = std::function<bool(const std::string& content)>;
    enum class Outcome {
        Done,    // written, removed, or nothing to do
        NotOurs, // something else stands at the path: left alone
        Failed,  // the folder or the file could not be made, written or removed
    };

    // Creates path (and its folders) holding text when nothing is there; replaces it in one
    // step when a regular file is there that isOurs accepts.
    static Outcome Write(const std::string& path, const std::string& text, const IsOurs& isOurs);
    // Removes path when it is a regular file that isOurs accepts; Done when nothing is there.
    static Outcome Remove(const std::string& path, const IsOurs& isOurs);
    // The content of the regular file at path, read without following a link; nothing for
    // any other kind of node, an unreadable file or one longer than maxBytes.
    static std::optional<std::string> Read(const std::string& path,
                                           std::size_t maxBytes = kMaxBytes);

    static constexpr std::size_t kMaxBytes = 1u << 20;
};
