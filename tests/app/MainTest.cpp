#include "window/EventYield.h"
#include "app/SCRNSAVE.h"

#include <gtest/gtest.h>

namespace {

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
    void DoEvents() override { calls += "events "; }
    void DoEventsUntil(std::int64_t) override { calls += "wait "; }
};

std::string run(const char *commandLine, bool anotherCopy = false, std::optional<HostWindowRequest> host = std::nullopt)
{
    RecordingServices services;
    services.running = anotherCopy;
    Main(QString::fromLatin1(commandLine), services, host);
    return services.calls;
}

} // namespace

TEST(Main, DispatchesAfterLoadingSettings)
{
    EXPECT_EQ(run("/c:1234"), "instance load events setup ");
    EXPECT_EQ(run("/s"), "instance load events events events show events events ");
    EXPECT_EQ(run("/s /c"), "instance load events setup ");
    for (const char *nothing : {"", "/C", "/S", "/p 123"})
        EXPECT_EQ(run(nothing), "instance load ") << nothing;
}

TEST(Main, SecondCopyEndsBeforeReadingSettings)
{
    EXPECT_EQ(run("/s", true), "instance ");
    EXPECT_EQ(run("/c", true), "instance ");
    EXPECT_EQ(run("--window-id 7", true, HostWindowRequest{7}), "load events host 7 ");
}
