#pragma once
#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "ado/RecordsetModel.h"

#include <QObject>

namespace ado {

// The data control: a connection string and a record source; Refresh opens both and hands
// the rows to its model, which a grid shows. Failures raise the Error signal first (the
// handler may set cancelDisplay), then Refresh throws AdoError.
class DataControl : public QObject {
    Q_OBJECT
public:
    explicit DataControl(QObject* parent = nullptr);

    QString ConnectionString() const { return connectionString_; }
    void SetConnectionString(const QString& text) { connectionString_ = text; }
    QString RecordSource() const { return recordSource_; }
    void SetRecordSource(const QString& source) { recordSource_ = source; }
    QString Tag() const { return tag_; }
    void SetTag(const QString& tag) { tag_ = tag; }
    void Refresh();
    RecordsetPtr Recordset() const { return recordset_; }
    RecordsetModel* model() { return model_; }

signals:
    void Error(int number, const QString& description, bool& cancelDisplay);

private:
    QString connectionString_;
    QString recordSource_;
    QString tag_;
    ConnectionPtr connection_;
    QString openedWith_;
    RecordsetPtr recordset_;
    RecordsetModel* model_;
};

} // namespace ado
