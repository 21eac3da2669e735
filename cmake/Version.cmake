# The project's one version, from project(VERSION): a generated Version.h for the programs,
# and the same numbers for the man pages, the AppStream release and the package.

# The about box writes the version the old way, minor and patch run together: 0.0.6 is "0.06".
if(PROJECT_VERSION_PATCH GREATER 9)
    message(FATAL_ERROR "The about-box version form needs a one-digit patch number")
endif()
set(DARVEX_ABOUT_VERSION
    "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}${PROJECT_VERSION_PATCH}")
# Release date of this version, for the AppStream release and the man pages.
set(DARVEX_RELEASE_DATE "2026-12-08")

configure_file(${CMAKE_CURRENT_LIST_DIR}/Version.h.in
               ${PROJECT_BINARY_DIR}/generated/Version.h @ONLY)
add_library(darvex_version INTERFACE)
target_include_directories(darvex_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
