# INTRO_VERSION, as scripts/version.sh prints it, and the header intro_version.h that
# gives it to the programs as kIntroVersion (target intro_version).
execute_process(COMMAND sh ${PROJECT_SOURCE_DIR}/scripts/version.sh
                OUTPUT_VARIABLE INTRO_VERSION OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/VERSION)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/intro_version.h
     CONTENT "#pragma once\n// Written by cmake/version.cmake from scripts/version.sh.\nconstexpr char kIntroVersion[] = \"${INTRO_VERSION}\";\n")
add_library(intro_version INTERFACE)
target_include_directories(intro_version INTERFACE ${CMAKE_BINARY_DIR}/generated)
