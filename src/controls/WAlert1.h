#pragma once
// The choice window behind ShowListDialog: the caption above a list of items, "&OK" and
// "&Cancelar". Choice() is the 1-based position chosen, 0 when cancelled.

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

class WAlert1 : public QDialog {
    Q_OBJECT
public:
    WAlert1(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

    int Choice() const { return m_Choice; }

    QLabel* lblCaption;
    QListWidget* lstItems;
    QPushButton* cmdOK;
    QPushButton* cmdCancelar;

public slots:
    void cmdOK_Click();
    void cmdCancelar_Click();

private:
    int m_Choice = 0;
};
