#pragma once
#include <QString>
#include <QTemporaryDir>

// A temporary directory for one test's server instance, removed with the fixture.
class TempDir {
public:
    TempDir();
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};
