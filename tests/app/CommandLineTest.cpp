#include "app/CommandLine.h"

#include <gtest/gtest.h>

// Main's own cases hold the plain "/c", "/s" and a preview request; these are the substring rule's.
TEST(CommandLine, CaseSensitiveSubstringsConfigureBeforeShowInTheTextAfterTheProgramName)
{
    const std::pair<const char *, StartCommand> cases[] = {
        {"/c:1234", StartCommand::Configure}, {"/s /c", StartCommand::Configure}, {"x/sy", StartCommand::Show},
        {"/C", StartCommand::Nothing},        {"/S", StartCommand::Nothing},      {"-s", StartCommand::Nothing},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(ParseCommandLine(QString::fromLatin1(text)), expected) << text;
    EXPECT_EQ(CommandLineText({"/opt/saver", "/p", "1234"}), "/p 1234");
}

TEST(CommandLine, HostWindowFromRootOrWindowId)
{
    using Host = std::optional<HostWindowRequest>;
    const std::tuple<QStringList, const char *, Host> cases[] = {
        {{"saver", "--root"}, "", HostWindowRequest{0}},
        {{"saver", "-root"}, " 0x40000a", HostWindowRequest{0x40000a}},
        {{"saver", "--window-id", "4194317"}, "0x40000a", HostWindowRequest{4194317}},
        {{"saver", "-window-id", "0X1A"}, "", HostWindowRequest{0x1a}},
        {{"saver", "--window-id"}, "", std::nullopt},
        {{"saver", "--window-id", "12ab"}, "", std::nullopt},
        {{"saver", "/s"}, "0x40000a", std::nullopt},
    };
    for (const auto &[arguments, xscreensaverWindow, expected] : cases)
        EXPECT_EQ(ParseHostWindow(arguments, QString::fromLatin1(xscreensaverWindow)), expected) << arguments.join(' ').toStdString();
}
