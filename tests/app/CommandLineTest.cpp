#include "app/CommandLine.h"

#include <gtest/gtest.h>

TEST(CommandLine, SubstringDispatchConfigureBeforeShow)
{
    const std::pair<const char *, StartCommand> cases[] = {
        {"", StartCommand::Nothing},
        {"/c", StartCommand::Configure},
        {"/c:1234", StartCommand::Configure},
        {"/s", StartCommand::Show},
        {"/s /c", StartCommand::Configure},
        {"x/sy", StartCommand::Show},
        {"/C", StartCommand::Nothing},
        {"/S", StartCommand::Nothing},
        {"/p 1234", StartCommand::Nothing},
        {"-s", StartCommand::Nothing},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(ParseCommandLine(QString::fromLatin1(text)), expected) << text;
}

TEST(CommandLine, TextIsArgumentsAfterProgramName)
{
    EXPECT_EQ(CommandLineText({"/opt/saver", "/p", "1234"}), "/p 1234");
    EXPECT_EQ(CommandLineText({"/opt/saver"}), "");
}
