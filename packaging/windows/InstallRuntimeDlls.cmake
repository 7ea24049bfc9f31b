# Install-time part of the Windows package: the Qt plugins into their folders, and the DLLs that
# the executables and the plugins load, found in their import tables, beside the program.
# Set before it runs: QAL_DLL_EXECUTABLES; QAL_QT_PLUGINS as FOLDER=PLUGIN entries;
# QAL_DLL_DIRECTORIES (where Qt's and the compiler's DLLs are); QAL_SYSTEM_IMPORT_LIBS (the
# compiler's import libraries of the system DLLs); QAL_OBJDUMP; QAL_STRIP.
# Install scripts run without the project's policies: this one's own, and only here.
cmake_policy(PUSH)
cmake_policy(VERSION 3.22)

set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND "${QAL_OBJDUMP}")

set(installed)
set(plugins)
foreach(entry IN LISTS QAL_QT_PLUGINS)
    if(NOT entry MATCHES "^([^=]+)=(.+)$")
        message(FATAL_ERROR "not FOLDER=PLUGIN: ${entry}")
    endif()
    set(folder "${CMAKE_MATCH_1}")
    set(plugin "${CMAKE_MATCH_2}")
    list(APPEND plugins "${plugin}")
    file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${folder}" TYPE SHARED_LIBRARY
         FILES "${plugin}")
    get_filename_component(name "${plugin}" NAME)
    list(APPEND installed "${folder}/${name}")
endforeach()

# The DLLs there by lower-case name: import tables name DLLs in any case (Qt6Core.dll), which
# Windows matches without regard to case, and CMake asks for them in lower case.
set(available)
foreach(folder IN LISTS QAL_DLL_DIRECTORIES)
    file(GLOB dlls "${folder}/*.dll" "${folder}/*.DLL")
    foreach(dll IN LISTS dlls)
        get_filename_component(name "${dll}" NAME)
        string(TOLOWER "${name}" name)
        if(NOT DEFINED "available_${name}") # the first folder wins, as in the search
            set("available_${name}" "${dll}")
        endif()
    endforeach()
endforeach()

# Found by name in those folders; what only differs in case is added and scanned in turn.
set(modules ${plugins})
set(found_by_case)
while(TRUE)
    file(GET_RUNTIME_DEPENDENCIES
        EXECUTABLES ${QAL_DLL_EXECUTABLES}
        MODULES ${modules}
        DIRECTORIES ${QAL_DLL_DIRECTORIES}
        # API sets are names Windows maps to its own DLLs; on a Windows host the system's own
        # DLLs are found in system32.
        PRE_EXCLUDE_REGEXES "^api-ms-" "^ext-ms-"
        POST_EXCLUDE_REGEXES "[/\\\\][Ss][Yy][Ss][Tt][Ee][Mm]32[/\\\\]"
        RESOLVED_DEPENDENCIES_VAR resolved
        UNRESOLVED_DEPENDENCIES_VAR unresolved
        CONFLICTING_DEPENDENCIES_PREFIX conflicting)
    if(conflicting_FILENAMES)
        message(FATAL_ERROR "DLLs found in more than one place: ${conflicting_FILENAMES}")
    endif()
    set(system)
    set(added FALSE)
    foreach(dll IN LISTS unresolved)
        string(TOLOWER "${dll}" name)
        if(DEFINED "available_${name}")
            if(NOT "${available_${name}}" IN_LIST found_by_case)
                list(APPEND found_by_case "${available_${name}}")
                list(APPEND modules "${available_${name}}")
                set(added TRUE)
            endif()
        else()
            list(APPEND system "${dll}")
        endif()
    endforeach()
    if(NOT added)
        break()
    endif()
endwhile()
list(APPEND resolved ${found_by_case})
list(REMOVE_DUPLICATES resolved)

# Not found beside Qt or the compiler: a DLL of Windows itself, or one the package would lack.
set(missing)
foreach(dll IN LISTS system)
    string(TOLOWER "${dll}" name)
    string(REGEX REPLACE "\\.dll$" "" name "${name}")
    if(NOT EXISTS "${QAL_SYSTEM_IMPORT_LIBS}/lib${name}.a")
        list(APPEND missing "${dll}")
    endif()
endforeach()
if(missing)
    message(FATAL_ERROR "DLLs the program loads but that are not found: ${missing} "
                        "(searched: ${QAL_DLL_DIRECTORIES})")
endif()

file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}" TYPE SHARED_LIBRARY FILES ${resolved})
foreach(dll IN LISTS resolved)
    get_filename_component(name "${dll}" NAME)
    list(APPEND installed "${name}")
endforeach()

# A stripped package (cpack strips the executables) leaves the compiler's debug symbols out of
# the DLLs as well: the C++ runtime shrinks from about 20 MB to 2.
if(CMAKE_INSTALL_DO_STRIP AND QAL_STRIP)
    foreach(file IN LISTS installed)
        execute_process(COMMAND "${QAL_STRIP}" --strip-unneeded
                                "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${file}"
                        RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR "cannot strip ${file}")
        endif()
    endforeach()
endif()

cmake_policy(POP)
