# The program's translations: .ts files in the tree (kept up to date with `cmake --build build
# --target update_translations`, which runs lupdate), compiled by lrelease at build time and built
# into the target as resources under :/i18n/.
#
#   qal_add_translations(<target> TS_FILES <file.ts>... SOURCES <files lupdate reads>...)
#
# The texts are marked with QAL_TEXT(context, text), which lupdate reads as QT_TRANSLATE_NOOP.
# A cross build whose Qt has no Linguist tools of its own uses the host's lrelease.
find_package(Qt6 QUIET COMPONENTS LinguistTools)

function(qal_add_translations target)
    cmake_parse_arguments(arg "" "" "TS_FILES;SOURCES" ${ARGN})
    if(TARGET Qt6::lrelease)
        qt_add_translations(${target}
            TS_FILES ${arg_TS_FILES}
            SOURCES ${arg_SOURCES}
            RESOURCE_PREFIX /i18n
            LUPDATE_OPTIONS -tr-function-alias QT_TRANSLATE_NOOP+=QAL_TEXT -locations none)
        return()
    endif()
    find_program(QAL_LRELEASE NAMES lrelease-qt6 lrelease
                 HINTS ${QT_HOST_PATH}/lib/qt6/bin /usr/lib/qt6/bin REQUIRED)
    set(qm_files "")
    foreach(ts IN LISTS arg_TS_FILES)
        get_filename_component(name ${ts} NAME_WE)
        set(qm ${CMAKE_CURRENT_BINARY_DIR}/${name}.qm)
        add_custom_command(OUTPUT ${qm}
            COMMAND ${QAL_LRELEASE} -silent ${ts} -qm ${qm}
            DEPENDS ${ts} VERBATIM)
        list(APPEND qm_files ${qm})
    endforeach()
    qt_add_resources(${target} ${target}_translations
        PREFIX /i18n BASE ${CMAKE_CURRENT_BINARY_DIR} FILES ${qm_files})
endfunction()
