// Paths and arguments in the tools' messages: what reaches the terminal.
#include "assets/printable.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Printable, ControlBytesAreEscapedLettersStay) {
    const struct {
        std::string text, shown;
    } cases[] = {
        {"data/barf.png", "data/barf.png"},
        {"x\x1b[2J", "x\\x1b[2J"},            // an escape sequence is shown, not run
        {std::string("a\0b", 3), "a\\x00b"},  // NUL
        {"tab\tnew\nline\x7f", "tab\\x09new\\x0aline\\x7f"},
        {"caf\xc3\xa9/\xe2\x82\xac", "caf\xc3\xa9/\xe2\x82\xac"},  // UTF-8 letters
        {"\xc2\x9b"
         "31m",
         "\\xc2\\x9b31m"},  // C1 control (CSI) in UTF-8
        {"\x9b"
         "31m",
         "\\x9b31m"},                         // bare C1 byte
        {"\xc3", "\\xc3"},                    // cut-off sequence
        {"\xc0\xaf", "\\xc0\\xaf"},           // overlong '/'
        {"\xed\xa0\x80", "\\xed\\xa0\\x80"},  // surrogate
    };
    for (const auto& c : cases) EXPECT_EQ(printable(c.text), c.shown) << c.shown;
}

}  // namespace
