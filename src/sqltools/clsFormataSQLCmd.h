#pragma once
// One keyword of the SQL keyword table: its text and the colour it is shown in.

#include <QColor>
#include <QString>

class clsFormataSQLCmd {
public:
    // Colour, as the toolkit writes colours: 0x00BBGGRR, or a system colour index in the low
    // byte when the high bit is set.
    qint32 Tipo() const { return mvarTipo; }
    void setTipo(qint32 vData) { mvarTipo = vData; }
    // The keyword, with its letter case as listed.
    const QString& Comando() const { return mvarComando; }
    void setComando(const QString& vData) { mvarComando = vData; }

    // Tipo as a Qt colour (system colours from the application palette).
    QColor Color() const { return ToQColor(mvarTipo); }
    static QColor ToQColor(qint32 tipo);

private:
    qint32 mvarTipo = 0;
    QString mvarComando;
};
