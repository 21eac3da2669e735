#include "ui/DebugLog.h"

#include <cstdio>

int DebugLog::s_count = 0;

DebugLog::DebugLog(int, const std::string& folder) {
    if (s_count == 0 && !folder.empty())
        std::remove((folder + "/" + kFileName).c_str());
    ++s_count;
}

DebugLog::~DebugLog() {
    --s_count;
}
