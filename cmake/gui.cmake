# The desktop program: one library with the document (src/doc) and the application shell
# (src/ui), the `darvex` executable from a small main file, and the embedded resources.
find_package(wxWidgets 3.2 REQUIRED COMPONENTS xrc html core base)
find_program(DARVEX_WXRC wxrc REQUIRED)

# The layers the GUI builds on; none of them may include anything of the GUI.
set(DARVEX_GUI_CORE_LIBS darvex_host)

add_library(darvex_wx INTERFACE)
target_include_directories(darvex_wx SYSTEM INTERFACE ${wxWidgets_INCLUDE_DIRS})
target_compile_definitions(darvex_wx INTERFACE ${wxWidgets_DEFINITIONS})
target_compile_options(darvex_wx INTERFACE ${wxWidgets_CXX_FLAGS})
target_link_libraries(darvex_wx INTERFACE ${wxWidgets_LIBRARIES})

# Menus, tool bar and dialogs as XRC, with the bitmaps they name, compiled into the binary.
set(DARVEX_XRC_FILES ${CMAKE_SOURCE_DIR}/res/darvex.xrc ${CMAKE_SOURCE_DIR}/res/dialogs.xrc
                      ${CMAKE_SOURCE_DIR}/res/icons.xrc)
file(GLOB DARVEX_TOOLBAR_PNGS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/toolbar/*.png
     ${CMAKE_SOURCE_DIR}/res/icons/png/darvex-*.png)
set(DARVEX_RESOURCE_CPP ${CMAKE_BINARY_DIR}/generated/DarvexResource.cpp)
add_custom_command(
    OUTPUT ${DARVEX_RESOURCE_CPP}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
    COMMAND ${DARVEX_WXRC} -c -n InitXmlResource -o ${DARVEX_RESOURCE_CPP} darvex.xrc dialogs.xrc
            icons.xrc
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/res
    DEPENDS ${DARVEX_XRC_FILES} ${DARVEX_TOOLBAR_PNGS}
    COMMENT "Embedding the XRC resources")
# Generated code: not held to our warning flags.
add_library(darvex_gui_resources OBJECT ${DARVEX_RESOURCE_CPP})
target_link_libraries(darvex_gui_resources PRIVATE darvex_wx)

# Like the core's layers, an include root of its own that exposes doc/ and ui/ alone: with
# darvex_host's roots below it, an include of cli/ does not compile.
set(DARVEX_GUI_INCLUDE ${CMAKE_BINARY_DIR}/include/gui)
file(MAKE_DIRECTORY ${DARVEX_GUI_INCLUDE})
foreach(folder doc ui)
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${folder} ${DARVEX_GUI_INCLUDE}/${folder} SYMBOLIC)
endforeach()
file(GLOB DARVEX_GUI_SOURCES CONFIGURE_DEPENDS src/doc/*.cpp src/ui/*.cpp)
list(FILTER DARVEX_GUI_SOURCES EXCLUDE REGEX ".*/main\\.cpp$")
add_library(darvex_gui STATIC ${DARVEX_GUI_SOURCES} $<TARGET_OBJECTS:darvex_gui_resources>)
target_include_directories(darvex_gui PUBLIC ${DARVEX_GUI_INCLUDE})
target_link_libraries(darvex_gui PUBLIC ${DARVEX_GUI_CORE_LIBS} darvex_wx darvex_version
                      PRIVATE darvex_warnings)

add_executable(darvex src/ui/main.cpp)
target_link_libraries(darvex PRIVATE darvex_gui darvex_warnings)
add_dependencies(darvex darvex_catalogs)

if(DARVEX_TESTS)
    add_subdirectory(tests/gui)
endif()

# The desktop file and MIME type, embedded so that a program run from the build tree can
# register itself for the current user. Absent files give empty texts (nothing registered).
set(DARVEX_SHELL_FILES_H ${CMAKE_BINARY_DIR}/generated/ShellFiles.h)
set(DARVEX_SHELL_CONTENT "#pragma once\n// Generated from res/ by cmake/gui.cmake.\n")
foreach(pair "kDesktopFile;darvex.desktop" "kMimeFile;darvex-mime.xml"
             "kAppIconSvg;icons/darvex.svg" "kDocIconSvg;icons/application-x-d88-floppy-image.svg")
    list(GET pair 0 var)
    list(GET pair 1 file)
    set(text "")
    if(EXISTS ${CMAKE_SOURCE_DIR}/res/${file})
        file(READ ${CMAKE_SOURCE_DIR}/res/${file} text)
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                     ${CMAKE_SOURCE_DIR}/res/${file})
    endif()
    string(APPEND DARVEX_SHELL_CONTENT
           "inline constexpr const char* ${var} = R\"DARVEX_RES(${text})DARVEX_RES\";\n")
endforeach()
file(GENERATE OUTPUT ${DARVEX_SHELL_FILES_H} CONTENT "${DARVEX_SHELL_CONTENT}")
target_include_directories(darvex_gui PRIVATE ${CMAKE_BINARY_DIR}/generated)

# The yardstick of bench/gui/startup.sh: a bare wxWidgets frame.
add_executable(darvex_bare_frame bench/gui/BareFrame.cpp)
target_link_libraries(darvex_bare_frame PRIVATE darvex_wx darvex_warnings)
set_target_properties(darvex_bare_frame PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
