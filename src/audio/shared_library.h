#pragma once
#include <string>

// Libraries a sound output needs are loaded when it is opened, not linked, so that the
// intro starts where one is missing and passes to the next output.

// The library by its soname, loaded for the life of the process (a library's threads may
// still run at exit). Null with reason set, in the loader's words, when it cannot be loaded.
void* openSharedLibrary(const char* soname, std::string& reason);

// The address of the function `name` of library; null with reason set when it has none.
void* librarySymbol(void* library, const char* name, std::string& reason);

// A table of a library's functions is a struct with one LIBRARY_FUNCTION(f) member per
// function f of a list LIST(F), named and typed as the function its header declares.
// LOAD_LIBRARY_TABLE(soname, LIST, table, reason) loads the library and fills the table:
// true when every function was found, else false with reason set.
#define LIBRARY_FUNCTION(name) decltype(&::name) name = nullptr;
#define LIBRARY_RESOLVE(name)                                                 \
    resolved = resolved && (table.name = reinterpret_cast<decltype(&::name)>( \
                                librarySymbol(library, #name, reason))) != nullptr;
#define LOAD_LIBRARY_TABLE(soname, LIST, tableValue, reasonValue) \
    [&table = (tableValue), &reason = (reasonValue)] {            \
        void* library = openSharedLibrary(soname, reason);        \
        bool resolved = library != nullptr;                       \
        LIST(LIBRARY_RESOLVE)                                     \
        return resolved;                                          \
    }()
