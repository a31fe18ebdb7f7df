#pragma once
// The T-SQL editors' formatter: the keyword table (357 entries, filled on creation), two
// formatting calls that leave the editor as it is, and the editor line operations.

#include "sqltools/clsFormataSQLCmdCOL.h"

#include <memory>

class QWidget;

class clsFormataSQL {
public:
    static constexpr qint32 ColorStatement = 0x00FF0000;         // blue
    static constexpr qint32 ColorFunction = 0x00FF00FF;          // magenta
    static constexpr qint32 ColorOperator = qint32(0x80000011u); // grey text (system colour 17)

    clsFormataSQL();
    ~clsFormataSQL();
    clsFormataSQL(const clsFormataSQL&) = delete;
    clsFormataSQL& operator=(const clsFormataSQL&) = delete;

    // Return at once: the editor's text, selection and colours stay as they are.
    void FormataTudo(QWidget* txtQuery);
    void FormataLinha(QWidget* txtQuery, qint32 Inicio, qint32 Fim, QWidget* TempTextBox);

    // 0-based line that holds the 0-based character CharPos.
    qint32 GetLineFromChar(QWidget* mhwnd, qint32 CharPos) const;
    // 0-based character index of the line's first character (-1 for a line that is not there).
    qint32 GetCharFromLine(QWidget* mhwnd, qint32 LineIndex) const;
    // The line's text without its line break; empty for an empty or missing line. A line of
    // 65,536 characters or more throws VarnoltError 6 (its length does not fit the 16-bit
    // count of the line buffer).
    QString GetLine(QWidget* mhwnd, qint32 LineIndex) const;
    // Length of the line that holds the character, line break not counted.
    qint32 LineLen(QWidget* mhwnd, qint32 CharPos) const;

    const clsFormataSQLCmdCOL& Comandos() const { return *m_Comandos; }

private:
    void CarregaComandos();

    std::unique_ptr<clsFormataSQLCmdCOL> m_Comandos;
};
