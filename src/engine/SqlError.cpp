#include "engine/Engine.h"

namespace engine {

SqlError::SqlError(int number, int severity, QString text, int line, int state)
    : msg_{number, severity, state, line, std::move(text)} {
    what_ = QStringLiteral("Msg %1, Level %2, State %3, Line %4: %5")
                .arg(QString::number(number), QString::number(severity), QString::number(state), QString::number(line), msg_.text).toStdString();
}

} // namespace engine
