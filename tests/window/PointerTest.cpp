#include "support/CountingPointer.h"

#include <QCursor>
#include <QGuiApplication>
#include <gtest/gtest.h>

TEST(Pointer, HideAndShowAskUntilTheCountIsOnTheirSideAtLeastOnce)
{
    const struct { bool hide; int start, end, requests; } cases[] = {
        {true, 2, -1, 3}, {true, -3, -4, 1}, {false, -4, 0, 4}, {false, 0, 1, 1}};
    for (const auto &c : cases) {
        CountingPointer pointer(c.start);
        c.hide ? HideMousePointer(pointer) : ShowMousePointer(pointer);
        EXPECT_EQ(pointer.count, c.end) << c.start;
        EXPECT_EQ(pointer.requests, c.requests) << c.start;
    }
}

TEST(Pointer, QtPointerCountsFromZeroAndBlanksWhileNegative)
{
    QtPointerDisplay pointer;
    HideMousePointer(pointer);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::BlankCursor);
    EXPECT_EQ(pointer.ShowCursor(true), 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(pointer.ShowCursor(true), 1);
}
