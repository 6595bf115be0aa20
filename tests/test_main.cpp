#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // A test may ask for the offscreen platform with a screen layout of its own.
    if (!qEnvironmentVariable("QT_QPA_PLATFORM").startsWith(QLatin1String("offscreen")))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
