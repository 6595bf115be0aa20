#include "window/EventYield.h"
#include "app/SCRNSAVE.h"

#include <gtest/gtest.h>

namespace {

// Records what the start-up asks for; handing over to the event loop is not recorded.
class RecordingServices : public MainServices, public EventYield
{
public:
    bool running = false;
    std::string calls;

    bool anotherCopyRunning() override
    {
        calls += "instance ";
        return running;
    }
    void loadSettings() override { calls += "load "; }
    EventYield &events() override { return *this; }
    void showSetupFormModal() override { calls += "setup "; }
    void showBlankForm() override { calls += "show "; }
    void DoEvents() override {}
    void DoEventsUntil(std::int64_t) override {}
};

} // namespace

TEST(Main, LoadsSettingsThenOpensWhatTheCommandAsksUnlessAnotherCopyRuns)
{
    const std::tuple<const char *, bool, std::string> cases[] = {
        {"/c", false, "instance load setup "},  {"/s", false, "instance load show "},
        {"/p 123", false, "instance load "},    {"/s", true, "instance "},
        {"/c", true, "instance "},
    };
    for (const auto &[commandLine, anotherCopy, calls] : cases) {
        RecordingServices services;
        services.running = anotherCopy;
        Main(QString::fromLatin1(commandLine), services);
        EXPECT_EQ(services.calls, calls) << commandLine << (anotherCopy ? " with another copy" : "");
    }
}
