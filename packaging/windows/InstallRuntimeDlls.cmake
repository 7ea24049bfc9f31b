# Install-time part of the Windows package: copies the DLLs that the executables and Qt plugins
# load, found in their import tables, into the program's folder. Set before it runs:
# QAL_DLL_EXECUTABLES, QAL_DLL_MODULES, QAL_DLL_DIRECTORIES (where Qt's and the compiler's DLLs
# are), QAL_SYSTEM_IMPORT_LIBS (the compiler's import libraries of the system DLLs), QAL_OBJDUMP.
set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND "${QAL_OBJDUMP}")

file(GET_RUNTIME_DEPENDENCIES
    EXECUTABLES ${QAL_DLL_EXECUTABLES}
    MODULES ${QAL_DLL_MODULES}
    DIRECTORIES ${QAL_DLL_DIRECTORIES}
    # API sets are names Windows maps to its own DLLs; on a Windows host the system's own DLLs
    # are found in system32.
    PRE_EXCLUDE_REGEXES "^api-ms-" "^ext-ms-"
    POST_EXCLUDE_REGEXES "[/\\\\][Ss][Yy][Ss][Tt][Ee][Mm]32[/\\\\]"
    RESOLVED_DEPENDENCIES_VAR resolved
    UNRESOLVED_DEPENDENCIES_VAR unresolved
    CONFLICTING_DEPENDENCIES_PREFIX conflicting)

if(conflicting_FILENAMES)
    message(FATAL_ERROR "DLLs found in more than one place: ${conflicting_FILENAMES}")
endif()
# Not found beside Qt or the compiler: a DLL of Windows itself, or one the package would lack.
set(missing)
foreach(dll IN LISTS unresolved)
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
