// The first value of a batch's first result set, as text, for the engine tests.
#pragma once

#include "engine/Engine.h"

#include <gtest/gtest.h>

namespace enginetest {

inline QString firstValue(engine::Session& s, const QString& sql)
{
    engine::BatchResult r = s.execute(sql);
    EXPECT_FALSE(r.failed()) << sql.toStdString() << ": " << (r.errors.empty() ? "" : r.errors[0].text.toStdString());
    if (r.resultSets.empty() || r.resultSets[0].rows.empty()) return QStringLiteral("<none>");
    return r.resultSets[0].text(0, 0);
}

} // namespace enginetest
