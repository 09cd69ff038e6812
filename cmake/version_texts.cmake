# The version the user reads is written out in the main window's caption, the About window and the help
# source. Each must say the version project() declares: a bump that leaves one behind stops the configure
# here, and an edit of one of these files configures again.
set(kolbrin_version_texts
    "src/app/form1_design.cpp" "\"Kolbrin Ver.${PROJECT_VERSION}\""
    "src/info/form3_design.cpp" "\"Version.${PROJECT_VERSION}\""
    "help/palvo.help.txt" "「Kolbrin Ver.${PROJECT_VERSION}」"
    "help/palvo.help.txt" "（Version.${PROJECT_VERSION}）")
while(kolbrin_version_texts)
    list(POP_FRONT kolbrin_version_texts file text)
    set(path "${CMAKE_CURRENT_SOURCE_DIR}/${file}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${path}")
    file(READ "${path}" content)
    string(FIND "${content}" "${text}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${file} does not say ${text}: the version is ${PROJECT_VERSION} (project() in "
                            "CMakeLists.txt); write the same in both places")
    endif()
endwhile()
