#include "core/HourglassGuard.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

bool waiting() {
    const QCursor* c = QApplication::overrideCursor();
    return c && c->shape() == Qt::WaitCursor;
}

} // namespace

TEST(HourglassGuard, EveryWayOutRestoresTheCursor) {
    ASSERT_FALSE(waiting());
    {
        HourglassGuard g;
        EXPECT_TRUE(waiting());
    }
    EXPECT_FALSE(waiting());
    try {
        HourglassGuard g;
        throw std::runtime_error("falhou");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(waiting());
    {
        HourglassGuard g;
        g.restore();
        EXPECT_FALSE(waiting());
        g.restore(); // twice: still balanced
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
