#pragma once

#include <string>

// Removes a stale "DEBUG.TXT" once per run. It is the one in the program's own data folder:
// the user's working folder is never touched.
class DebugLog {
public:
    static constexpr const char* kFileName = "DEBUG.TXT";

    // folder: UTF-8 path of the data folder. A missing or undeletable file is no error.
    DebugLog(int level, const std::string& folder);
    ~DebugLog();
    DebugLog(const DebugLog&) = delete;
    DebugLog& operator=(const DebugLog&) = delete;

private:
    static int s_count;
};
