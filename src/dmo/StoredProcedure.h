#pragma once
#include "dmo/Connection.h"

#include <QString>
#include <memory>

namespace dmo {

// A stored procedure. A new one (std::make_shared) gets its Text and is created by
// StoredProcedures::Add; its name and owner come from the text.
class StoredProcedure {
public:
    StoredProcedure() = default;
    QString Name() const { return name_; }
    QString Owner() const { return owner_; }
    // The definition as the server keeps it (CREATE PROCEDURE ...).
    QString Text();
    void SetText(const QString& text);
    // Alters the procedure with a definition that begins CREATE PROCEDURE (or ALTER PROCEDURE)
    // and names this procedure; the text runs as one batch.
    void Alter(const QString& text);

    // Internal.
    void attach(ConnectionPtr conn, QString database, QString name, QString owner);
    bool attached() const { return conn_ != nullptr; }
    // The CREATE text turned into ALTER, and the name and owner it names.
    static QString alterText(const QString& createText);
    static bool parseName(const QString& text, QString& owner, QString& name);

private:
    ConnectionPtr conn_;
    QString database_;
    QString name_;
    QString owner_;
    QString text_;
    bool textLoaded_ = false;
};

using StoredProcedure2 = StoredProcedure;
using StoredProcedurePtr = std::shared_ptr<StoredProcedure>;

} // namespace dmo
