#pragma once

// The version as the about box and --version show it ("0.06"), from the CMake project version.
inline constexpr const char* kAppVersion = DARVEX_VERSION_TEXT;
