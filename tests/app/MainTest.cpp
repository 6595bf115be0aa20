#include "app/SCRNSAVE.h"
#include "support/CountingPointer.h"
#include "window/EventYield.h"

#include <cstdio>
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
    const std::tuple<QStringList, const char *, std::optional<HostWindowRequest>> cases[] = {
        {{"saver", "--root"}, "", HostWindowRequest{0}},                {{"saver", "-root"}, " 0x40000a", HostWindowRequest{0x40000a}},
        {{"saver", "-window-id", "0X1A"}, "", HostWindowRequest{0x1a}}, {{"saver", "--window-id", "4194317"}, "0x40000a", HostWindowRequest{4194317}},
        {{"saver", "--window-id"}, "", std::nullopt},                   {{"saver", "--window-id", "12ab"}, "", std::nullopt},
        {{"saver", "/s"}, "0x40000a", std::nullopt},
    };
    for (const auto &[arguments, xscreensaverWindow, expected] : cases)
        EXPECT_EQ(ParseHostWindow(arguments, QString::fromLatin1(xscreensaverWindow)), expected) << arguments.join(' ').toStdString();
}

TEST(Main, LoadsSettingsThenOpensWhatTheCommandAsksUnlessAnotherCopyRuns)
{
    // Records what the start-up asks for; handing over to the event loop is not recorded.
    struct RecordingServices : MainServices, EventYield
    {
        bool running = false;
        std::string calls;
        bool anotherCopyRunning() override { return calls += "instance ", running; }
        void loadSettings() override { calls += "load "; }
        EventYield &events() override { return *this; }
        void showSetupFormModal() override { calls += "setup "; }
        void showBlankForm() override { calls += "show "; }
        void showInHostWindow(const HostWindowRequest &host) override { calls += "host " + std::to_string(host.window) + " "; }
        void DoEvents() override {}
        void DoEventsUntil(std::int64_t) override {}
    };
    // A screen-saver daemon's host window takes no lock: it runs one copy per screen and one for its preview.
    const std::tuple<const char *, bool, std::optional<HostWindowRequest>, std::string> cases[] = {
        {"/c", false, {}, "instance load setup "}, {"/s", false, {}, "instance load show "}, {"/p 123", false, {}, "instance load "},
        {"/s", true, {}, "instance "},             {"--window-id 7", true, HostWindowRequest{7}, "load host 7 "},
    };
    for (const auto &[commandLine, anotherCopy, host, calls] : cases) {
        RecordingServices services;
        services.running = anotherCopy;
        Main(QString::fromLatin1(commandLine), services, host);
        EXPECT_EQ(services.calls, calls) << commandLine << (anotherCopy ? " with another copy" : "");
    }
}

TEST(MainDeathTest, EndSaverShowsThePointerAgainThenEnds)
{
    // The pointer, hidden twice over, reports each count it is left at; the last one is seen as the process ends.
    struct ReportingPointer : CountingPointer
    {
        int ShowCursor(bool show) override { return std::fprintf(stderr, "pointer %d\n", CountingPointer::ShowCursor(show)), count; }
    } pointer;
    pointer.count = -2;
    EXPECT_EXIT(EndSaver(pointer), ::testing::ExitedWithCode(0), "pointer 0\n$");
}
