#include <gtest/gtest.h>

#include "CommandLine.h"

namespace {

TEST(CommandLine, FilesAreMadeAbsoluteAgainstTheStartFolder)
{
    const struct {
        const char* argument;
        const char* expected;
    } cases[] = {
        {"blink.prj", "/home/user/work/blink.prj"},
        {"../other/delay.asm", "/home/user/other/delay.asm"},
        {"./sub/x.asm", "/home/user/work/sub/x.asm"},
        {"/opt/samples/blink.prj", "/opt/samples/blink.prj"},
        {"name with blanks.asm", "/home/user/work/name with blanks.asm"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(absoluteFileArguments({QString::fromUtf8(c.argument)}, QStringLiteral("/home/user/work")),
                  QStringList{QString::fromUtf8(c.expected)})
            << c.argument;
    EXPECT_TRUE(absoluteFileArguments({QString()}, QStringLiteral("/home/user/work")).isEmpty());
}

}  // namespace
