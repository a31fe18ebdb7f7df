#pragma once
// A text box's length limit that holds for what the user types or pastes only: a text set from
// code is shown whole, and a box already longer than the limit does not grow.

#include <QString>
#include <QValidator>

class QLineEdit;

class TypingLimit : public QValidator {
    Q_OBJECT
public:
    // Limits what the user may type into Box to Limit characters (0: no limit). The limit
    // lives with the box, as its validator.
    static void Set(QLineEdit* Box, int Limit);
    // Box's limit; 0 when it has none.
    static int Of(const QLineEdit* Box);

    State validate(QString& input, int& pos) const override;

private:
    explicit TypingLimit(QLineEdit* box);

    QLineEdit* mBox;
    int mLimit = 0;
    QString mShown; // the box's text before the edit being validated
};
