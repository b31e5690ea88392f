// The Windows command line reaches tsy as UTF-8 arguments, quoting rules included.
#include "tools/tsy/win/command_line.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

TEST(Utf8Arguments, ConvertsAndSplitsLikeTheSystem) {
    EXPECT_EQ(Utf8Arguments(L"tsy.exe"), std::vector<std::string>());
    EXPECT_EQ(Utf8Arguments(L"\"C:\\Program Files\\tsy.exe\" dump \"My Data\\Tessaly.tsy\""),
              (std::vector<std::string>{"dump", "My Data\\Tessaly.tsy"}));
    EXPECT_EQ(Utf8Arguments(L"tsy add --description \"Caf\u00e9 \u20ac \u65e5\" \"a\\\"b\" \"\""),
              (std::vector<std::string>{"add", "--description",
                                        "Caf\xc3\xa9 \xe2\x82\xac \xe6\x97\xa5", "a\"b", ""}));
}

}  // namespace
}  // namespace tessaly
