// Test helper: opens the instance kept in the folder given as argument, says "ready" and holds
// it until its standard input is closed; a refusal is written to standard error (exit status 1).

#include "engine/Engine.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) return 2;
    try {
        auto instance = engine::Instance::open(QStringLiteral("HOLDER"), QString::fromLocal8Bit(argv[1]));
        auto session = instance->connectIntegrated();
        std::puts("ready");
        std::fflush(stdout);
        while (std::getchar() != EOF) {
        }
    } catch (const engine::SqlError& e) {
        std::fprintf(stderr, "%d %s\n", e.number(), e.message().text.toUtf8().constData());
        return 1;
    }
    return 0;
}
