#pragma once
// The key/text selector: a drop-down list over a key/text list ("key:text;" per entry) that
// shows the texts and gives the key of the selected entry.

#include "core/KeyTextList.h"

#include <QColor>
#include <QComboBox>
#include <QFont>

class SelOpta : public QComboBox {
    Q_OBJECT
public:
    explicit SelOpta(QWidget* parent = nullptr);

    // Reloads the entries and selects the first one.
    void setLista(const QString& list);
    const QString& Lista() const { return m_Lista; }

    // The key of the selected entry (empty when there is none).
    QString Chave() const;
    // Selects the entry with that key (case-insensitive) and sets Found; the first entry
    // when no entry has it.
    void setChave(const QString& key);
    // The text of the selected entry.
    QString Texto() const;
    // Whether the last setChave found its key.
    bool Found() const { return m_Found; }

    bool Enabled() const { return isEnabled(); }
    void setEnabledState(bool on) { setEnabled(on); }
    // A locked selector shows its entry but the user cannot change it.
    bool Locked() const { return m_Locked; }
    void setLocked(bool on) { m_Locked = on; }
    QColor BackCor() const;
    void setBackCor(const QColor& color);
    QFont Fonte() const { return font(); }
    void setFonte(const QFont& f) { setFont(f); }
    void Refresh() { update(); }

    // Entries as loaded.
    const QList<KeyText>& Entries() const { return m_Entries; }

signals:
    // The selected entry changed, by the user or from code.
    void Click();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void showPopup() override;

private:
    QString m_Lista;
    QList<KeyText> m_Entries;
    bool m_Found = false;
    bool m_Locked = false;
};
