#include "support/CountingPointer.h"

#include <QCursor>
#include <QGuiApplication>
#include <gtest/gtest.h>

// Each request moves the count by one, so where it ends tells how many were made.
TEST(Pointer, HideAndShowAskUntilTheCountIsOnTheirSideAtLeastOnce)
{
    for (const auto &[hide, start, end] : std::vector<std::tuple<bool, int, int>>{{true, 2, -1}, {true, -3, -4}, {false, -4, 0}, {false, 0, 1}}) {
        CountingPointer pointer(start);
        hide ? HideMousePointer(pointer) : ShowMousePointer(pointer);
        EXPECT_EQ(pointer.count, end) << start;
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
