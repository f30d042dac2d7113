// parseOptions on arbitrary command lines. The line sits in a heap block of exactly its
// length plus the terminating NUL, so a read one byte past the end is an ASan report.
#include "app/options.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<char[]> line(new char[size + 1]);
    if (size) std::memcpy(line.get(), data, size);
    line[size] = '\0';  // an embedded NUL simply ends the line earlier
    demoSettings = DemoSettings{};
    parseOptions(line.get());
    return 0;
}
