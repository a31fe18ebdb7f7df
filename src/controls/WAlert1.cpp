#include "controls/WAlert1.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

WAlert1::WAlert1(const QString& caption, const QStringList& items, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("WAlert1"));
    setWindowTitle(caption);
    setModal(true);

    lblCaption = new QLabel(caption, this);
    lblCaption->setObjectName(QStringLiteral("lblCaption"));
    lstItems = new QListWidget(this);
    lstItems->setObjectName(QStringLiteral("lstItems"));
    lstItems->addItems(items);
    if (lstItems->count() > 0)
        lstItems->setCurrentRow(0);
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancelar);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblCaption);
    layout->addWidget(lstItems);
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &WAlert1::cmdOK_Click);
    connect(cmdCancelar, &QPushButton::clicked, this, &WAlert1::cmdCancelar_Click);
    connect(lstItems, &QListWidget::itemDoubleClicked, this, &WAlert1::cmdOK_Click);
}

void WAlert1::cmdOK_Click() {
    const int row = lstItems->currentRow();
    if (row < 0 || !lstItems->currentItem()->isSelected())
        return; // nothing chosen yet
    m_Choice = row + 1;
    accept();
}

void WAlert1::cmdCancelar_Click() {
    m_Choice = 0;
    reject();
}
