#pragma once
// A scripted engine session: records every batch and answers from rules, for checking the
// T-SQL the objects send without a server.
#include "engine/Engine.h"

#include <QRegularExpression>
#include <QStringList>
#include <functional>
#include <ostream>
#include <memory>
#include <vector>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

struct FakeLog {
    QStringList batches;
    QString database = QStringLiteral("master");
};

class FakeSession : public engine::Session {
public:
    using Rule = std::function<bool(const QString& batch, engine::BatchResult& result)>;

    FakeSession(std::shared_ptr<FakeLog> log, std::vector<Rule> rules)
        : log_(std::move(log)), rules_(std::move(rules)) {}

    engine::BatchResult execute(const QString& batch) override {
        log_->batches << batch;
        engine::BatchResult result;
        static const QRegularExpression use(QStringLiteral("^USE \\[(.*)\\]$"));
        auto m = use.match(batch);
        if (m.hasMatch()) {
            log_->database = m.captured(1);
            return result;
        }
        for (const Rule& rule : rules_)
            if (rule(batch, result))
                break;
        return result;
    }
    std::unique_ptr<engine::Cursor> openQuery(const QString&) override { return nullptr; }
    QString currentDatabase() const override { return log_->database; }
    QString loginName() const override { return QStringLiteral("tester"); }
    int spid() const override { return 51; }
    int tranCount() const override { return 0; }
    engine::Instance& instance() override { std::abort(); }

private:
    std::shared_ptr<FakeLog> log_;
    std::vector<Rule> rules_;
};

// A rule answering batches that contain needle with one result set of text columns.
inline FakeSession::Rule answer(const QString& needle, QStringList columns,
                                std::vector<std::vector<QVariant>> rows) {
    return [=](const QString& batch, engine::BatchResult& result) {
        if (!batch.contains(needle, Qt::CaseInsensitive))
            return false;
        engine::ResultSet rs;
        for (const QString& c : columns)
            rs.columns.push_back({c, QStringLiteral("varchar"), 100, 0, 0, true});
        for (const auto& r : rows)
            rs.rows.push_back(r);
        result.resultSets.push_back(rs);
        return true;
    };
}

// A rule refusing batches that contain needle with a server error.
inline FakeSession::Rule refuse(const QString& needle, int number, const QString& text) {
    return [=](const QString& batch, engine::BatchResult& result) {
        if (!batch.contains(needle, Qt::CaseInsensitive))
            return false;
        engine::Message m{number, 16, 1, 1, text};
        result.errors.push_back(m);
        result.messages.push_back(m);
        return true;
    };
}
