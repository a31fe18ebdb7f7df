#include "controls/SelOpta.h"

#include <QKeyEvent>

SelOpta::SelOpta(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int) { emit Click(); });
}

void SelOpta::setLista(const QString& list) {
    m_Lista = list;
    m_Entries = ParseKeyTextList(list);
    const QSignalBlocker block(this);
    clear();
    for (const KeyText& kt : m_Entries)
        addItem(kt.text, kt.key);
    setCurrentIndex(m_Entries.isEmpty() ? -1 : 0);
    emit Click();
}

QString SelOpta::Chave() const {
    const int i = currentIndex();
    return i < 0 ? QString() : m_Entries.value(i).key;
}

void SelOpta::setChave(const QString& key) {
    int found = -1;
    for (int i = 0; i < m_Entries.size(); ++i)
        if (m_Entries[i].key.compare(key, Qt::CaseInsensitive) == 0) {
            found = i;
            break;
        }
    m_Found = found >= 0;
    setCurrentIndex(m_Found ? found : (m_Entries.isEmpty() ? -1 : 0));
}

QString SelOpta::Texto() const {
    const int i = currentIndex();
    return i < 0 ? QString() : m_Entries.value(i).text;
}

QColor SelOpta::BackCor() const {
    return palette().color(QPalette::Base);
}

void SelOpta::setBackCor(const QColor& color) {
    QPalette pal = palette();
    pal.setColor(QPalette::Base, color);
    pal.setColor(QPalette::Button, color);
    setPalette(pal);
}

void SelOpta::mousePressEvent(QMouseEvent* e) {
    if (m_Locked)
        return e->ignore();
    QComboBox::mousePressEvent(e);
}

void SelOpta::keyPressEvent(QKeyEvent* e) {
    if (m_Locked && e->key() != Qt::Key_Tab && e->key() != Qt::Key_Backtab)
        return e->ignore();
    QComboBox::keyPressEvent(e);
}

void SelOpta::wheelEvent(QWheelEvent* e) {
    if (m_Locked)
        return e->ignore();
    QComboBox::wheelEvent(e);
}

void SelOpta::showPopup() {
    if (!m_Locked)
        QComboBox::showPopup();
}
