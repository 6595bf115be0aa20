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
    void showInHostWindow(const HostWindowRequest &host) override { calls += "host " + std::to_string(host.window) + " "; }
    void DoEvents() override {}
    void DoEventsUntil(std::int64_t) override {}
};

} // namespace

TEST(Main, LoadsSettingsThenOpensWhatTheCommandAsksUnlessAnotherCopyRuns)
{
    // A screen-saver daemon's host window takes no lock: it runs one copy per screen and one for its preview.
    const std::tuple<const char *, bool, std::optional<HostWindowRequest>, std::string> cases[] = {
        {"/c", false, {}, "instance load setup "},  {"/s", false, {}, "instance load show "},
        {"/p 123", false, {}, "instance load "},    {"/s", true, {}, "instance "},
        {"/c", true, {}, "instance "},              {"--window-id 7", true, HostWindowRequest{7}, "load host 7 "},
    };
    for (const auto &[commandLine, anotherCopy, host, calls] : cases) {
        RecordingServices services;
        services.running = anotherCopy;
        Main(QString::fromLatin1(commandLine), services, host);
        EXPECT_EQ(services.calls, calls) << commandLine << (anotherCopy ? " with another copy" : "");
    }
}
