#include "ado/DataControl.h"

#include "ado/AdoError.h"

namespace ado {

DataControl::DataControl(QObject* parent) : QObject(parent), model_(new RecordsetModel(this)) {}

void DataControl::Refresh() {
    try {
        model_->setRecordset(nullptr);
        recordset_.reset();
        if (!connection_ || !connection_->IsOpen() || openedWith_ != connectionString_) {
            connection_.reset();
            auto connection = std::make_shared<Connection>();
            connection->Open(connectionString_);
            connection_ = connection;
            openedWith_ = connectionString_;
        }
        auto recordset = std::make_shared<ado::Recordset>();
        recordset->Open(recordSource_, connection_);
        recordset_ = recordset;
        model_->setRecordset(recordset_);
    } catch (const AdoError& e) {
        bool cancelDisplay = false;
        emit Error(e.Number(), e.Description(), cancelDisplay);
        throw;
    }
}

} // namespace ado
